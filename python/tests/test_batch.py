"""Queued access: one USB exchange for a whole batch, and the queue functions
that throw in C++ reached without ever letting an exception out."""

import pytest

import mdiohost


def test_a_batch_of_1000_reads_is_one_round_trip(sim_bench):
    with mdiohost.open("TV00001B") as older:
        with sim_bench.measure() as measured:
            values = older.read_block(1, 1, [2] * 1000)
    assert values == [0x7C0A] * 1000
    assert measured.counters.round_trips == 1
    assert (measured.counters.usb_writes, measured.counters.usb_reads) == (1, 1)


def test_batch_fills_results_in_order_and_mixes_widths(sim_bench):
    with mdiohost.open("K8A00001:MDIO") as adapter:
        with adapter.batch(3) as batch:
            identifier = batch.read(1, 2)
            batch.write(7, 0x10, 0xBEEF)
            written = batch.read(7, 0x10)
            batch.write32(0x200, 0x11223344)
            word = batch.read32(0x200)
            assert identifier.value is None  # nothing sent yet
        assert (identifier.value, written.value, word.value) == (0x7C0A, 0xBEEF, 0x11223344)
        assert len(batch) == 5
        with pytest.raises(mdiohost.InvalidArgumentError, match="already run"):
            batch.read(1, 2)


def test_an_exception_inside_the_block_sends_nothing(sim_bench):
    with mdiohost.open("AA000001") as adapter:
        with sim_bench.measure() as measured:
            with pytest.raises(KeyError):
                with adapter.batch(0) as batch:
                    batch.write(7, 0x10, 0x1111)
                    raise KeyError("test")
        assert measured.counters.usb_writes == 0
        assert adapter.read(0, 7, 0x10) == 0


@pytest.mark.parametrize("mmd", [10, 11, 27, 28])
def test_indirect_mmds_are_refused_in_batches(sim_bench, mmd):
    with mdiohost.open("AA000001") as adapter:
        with pytest.raises(mdiohost.InvalidArgumentError, match=f"MMD {mmd} is reached"):
            adapter.batch(0).read(mmd, 0)


@pytest.mark.parametrize(
    "queue, error",
    [
        (lambda b: b.read32(0x100), mdiohost.InvalidArgumentError),
        (lambda b: b.write32(0x100, 1), mdiohost.InvalidArgumentError),
    ],
    ids=["read32", "write32"],
)
def test_queued_32_bit_failure_raises_instead_of_aborting(sim_bench, queue, error):
    # In C++ these queue functions throw; through the guarded entry points a
    # bad PHY id is an exception here and the interpreter lives on.
    with mdiohost.open("AA000001") as adapter:
        with pytest.raises(error, match="Phy id, 40, out of range"):
            with adapter.batch(40) as batch:
                queue(batch)
        assert adapter.read_block(0, 1, [2, 3]) == [0x7C0A, 0x4D11]
        assert adapter.read32(0, 0x100) == 0x0000A5A5
