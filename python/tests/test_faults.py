"""Faults of the bench: the right exception, and the next call clean."""

import pytest

import mdiohost
from mdiohost.sim import Bench, Board, Phy, fail_call, unplug

BOARDS = [
    Board("TV00042B", "Talvik MDIO", chip_type=5, phys=[Phy(1, phy_id=0x7C0A4B02)]),
    Board("K8B00042", "K8D MDIO", phys=[Phy(0, phy_id=0x7C0A4D11)]),
]


def reads_until_failure(adapter, limit=200):
    for attempt in range(limit):
        try:
            assert adapter.read(1, 1, 2) == 0x7C0A
        except mdiohost.Error as failure:
            return attempt, failure
    pytest.fail("the unplug never came")


@pytest.mark.sim_bench(Bench(BOARDS, faults=[unplug("TV00042B", 60, replug_after_calls=5)]))
def test_unplug_raises_communication_error_and_the_next_call_is_clean(sim_bench):
    older = mdiohost.open("TV00042B")
    other = mdiohost.open("K8B00042")
    attempt, failure = reads_until_failure(older)
    assert attempt > 0
    assert isinstance(failure, mdiohost.CommunicationError)
    assert failure.message.startswith("Device Communication problem: TV00042B")
    # The failure was raised once and cleared: other calls go on.
    assert other.read(0, 1, 2) == 0x7C0A
    # Replugged (the bench counts driver calls), the board opens again.
    for _ in range(10):
        other.read(0, 1, 2)
    with pytest.raises(mdiohost.CommunicationError, match="Couldn't close"):
        older.close()  # the handle of before the unplug is gone
    with mdiohost.open("TV00042B") as again:
        assert again.read(1, 1, 3) == 0x4B02


@pytest.mark.sim_bench(Bench(BOARDS, faults=[fail_call("FT_Read", call=3, status=4)]))
def test_a_failing_driver_call_is_one_exception(sim_bench):
    with mdiohost.open("TV00042B") as older:
        outcomes = []
        for _ in range(5):
            try:
                outcomes.append(older.read(1, 1, 2))
            except mdiohost.CommunicationError as failure:
                outcomes.append(failure.function)
        assert outcomes == [0x7C0A, 0x7C0A, "ZM_API_MDIO_Read", 0x7C0A, 0x7C0A]
