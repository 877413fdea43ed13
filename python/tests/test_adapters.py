"""Listing and opening adapters, errors and the library's identity."""

import pytest

import mdiohost


def test_adapters_list_index_name_family_and_open_state(sim_bench):
    assert [(a.index, a.name, a.family, a.open) for a in mdiohost.adapters()] == [
        (0, "AA000001", "K8 MDIO", False),
        (1, "K8A00001:I2C", "K8 I2C", False),
        (2, "K8A00001:MDIO", "K8 MDIO", False),
        (3, "TV00001B", "older family", False),
    ]
    with mdiohost.open("tv00001b") as older:  # any letter case
        assert (older.index, older.name) == (3, "TV00001B")
        assert mdiohost.adapters()[3].open
    assert not mdiohost.adapters()[3].open  # closed on leaving the block
    assert mdiohost.library_version().count(".") == 2


@pytest.mark.parametrize(
    "target, error, text",
    [
        (99, mdiohost.NotFoundError, "Device not found/in use: <index 99>"),
        (-1, mdiohost.InvalidArgumentError, "adapter -1 is out of range"),
    ],
)
def test_bad_opens_raise_and_leave_the_next_call_clean(sim_bench, target, error, text):
    with pytest.raises(error) as raised:
        mdiohost.open(target)
    assert text in str(raised.value)
    with mdiohost.open(2) as adapter:
        assert adapter.read(3, 1, 2) == 0x7C0A


def test_closed_adapter_is_not_found_by_single_or_queued_access(sim_bench):
    adapter = mdiohost.open("AA000001")
    adapter.close()
    with pytest.raises(mdiohost.NotFoundError, match="<index 0>"):
        adapter.read(0, 1, 2)
    with pytest.raises(mdiohost.NotFoundError):
        with adapter.batch(0) as batch:
            batch.read32(0)
            batch.read(1, 2)
