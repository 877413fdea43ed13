"""The wire-speed settings of K8 MDIO adapters: bursts, preamble lengths and
the compact encoding, checked by the values they read; the frames they send
are the C++ suites' concern."""

import re

import pytest

import mdiohost
from mdiohost.sim import Bench, Board, Phy

VENDOR = {0x10 + offset: 0x1000 + 0x111 * offset for offset in range(8)}
PHYS = [
    Phy(3, phy_id=0x7C0A4C21, clause45={1: VENDOR}, preamble_suppression=True),
    Phy(5, clause45={1: VENDOR}),  # takes no short preamble
    Phy(6, clause45={1: VENDOR}, preamble_suppression=True, post_read_increment=False),
]
on_bench = pytest.mark.sim_bench(Bench([Board("K8B00042", "K8D MDIO", phys=PHYS)]))


@pytest.fixture
def adapter(sim_bench):
    with mdiohost.open("K8B00042") as opened:
        yield opened


# Both encodings read alike in tests/e2e; here the property reaches the library.
@on_bench
def test_a_burst_reads_what_single_reads_read(adapter):
    assert adapter.compact_encoding is False
    adapter.compact_encoding = True
    assert adapter.compact_encoding is True
    burst = adapter.read_burst(3, 1, 0x0E, 12)  # past both ends of the set registers
    assert burst == [0, 0] + list(VENDOR.values()) + [0, 0]
    assert burst == [adapter.read(3, 1, register) for register in range(0x0E, 0x1A)]
    assert adapter.read_burst(3, 1, 0, 4) == [0, 0, 0x7C0A, 0x4C21]
    # The largest burst, up to the last register.
    last = 0x10000 - mdiohost.MAX_BURST_READS
    assert adapter.read_burst(3, 1, last, mdiohost.MAX_BURST_READS) == adapter.read_block(
        3, 1, range(last, 0x10000)
    )


@on_bench
def test_a_batch_burst_fills_its_results_in_queue_order(adapter):
    with adapter.batch(3) as batch:
        before = batch.read(1, 2)
        burst = batch.read_burst(1, 0x11, 3)
        batch.write(7, 0x20, 0xBEEF)
        after = batch.read(7, 0x20)
        assert [result.value for result in burst] == [None] * 3  # nothing sent yet
    assert before.value == 0x7C0A
    assert [result.value for result in burst] == [VENDOR[0x11], VENDOR[0x12], VENDOR[0x13]]
    assert after.value == 0xBEEF


@on_bench
def test_a_short_preamble_is_kept_per_phy(adapter):
    assert adapter.preamble(3) == 32
    adapter.set_preamble(3, 0)
    adapter.set_preamble(5, 0)
    assert (adapter.preamble(3), adapter.preamble(5), adapter.preamble(6)) == (0, 0, 32)
    assert adapter.read_burst(3, 1, 0x10, 8) == list(VENDOR.values())
    # A PHY that does not accept suppression does not answer such frames.
    assert adapter.read(5, 1, 0x10) == 0xFFFF
    adapter.set_preamble(5, 32)
    assert adapter.read(5, 1, 0x10) == VENDOR[0x10]


NO_SETTINGS = (
    ": no wire-speed settings on this adapter (only K8 adapters whose protocol is MDIO have them)."
)
OLDER = "TV00001B" + NO_SETTINGS
I2C = "K8A00001:I2C" + NO_SETTINGS


@pytest.mark.parametrize(
    "name, call, text",
    [
        ("TV00001B", lambda a: a.read_burst(1, 1, 0, 4), OLDER),
        ("K8A00001:I2C", lambda a: setattr(a, "compact_encoding", True), I2C),
        ("K8A00001:I2C", lambda a: a.preamble(0), I2C),
        ("AA000001", lambda a: a.read_burst(0, 1, 0, 0), "count 0 is out of range (1 to 1024)"),
        ("AA000001", lambda a: a.batch(0).read_burst(1, 0, 1025), "count 1025 is out of range"),
        ("AA000001", lambda a: a.set_preamble(0, 33), "bits 33 is out of range (0 to 32)"),
        ("AA000001", lambda a: a.read_burst(0, 1, 0xFFFE, 4), "runs past register 0xFFFF."),
        ("AA000001", lambda a: a.read_burst(0, 10, 0, 4), "MMD 10 is not reached by plain MDIO"),
    ],
)
def test_refusals_name_the_reason(sim_bench, name, call, text):
    with mdiohost.open(name) as adapter:
        with pytest.raises(mdiohost.InvalidArgumentError, match=re.escape(text)):
            call(adapter)


def test_a_refused_batch_burst_leaves_nothing_queued(sim_bench):
    with mdiohost.open("TV00001B") as older:
        with pytest.raises(mdiohost.InvalidArgumentError, match=re.escape(OLDER)):
            with older.batch(1) as batch:
                batch.read(1, 2)
                batch.read_burst(1, 2, 2)
        assert older.read(1, 1, 2) == 0x7C0A
