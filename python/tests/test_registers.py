"""Single register access on every path, the adapter settings, and tracing."""

import pytest

import mdiohost
from mdiohost import Delegation
from mdiohost.sim import Bench, Board, Phy

CHIP = Phy(
    3,
    phy_id=0x7C0A4C21,
    clause45={1: {0x0000: 0x2040}},
    registers32={0x100: 0xCAFEF00D},
    chip={"serdes": {"0x42": "0x1234"}},
)
BENCH = Bench([Board("K8B00042", "K8D MDIO", phys=[CHIP])])


@pytest.fixture
def adapter(sim_bench):
    with mdiohost.open("K8B00042") as opened:
        yield opened


@pytest.mark.sim_bench(BENCH)
def test_clause45_clause22_and_32_bit_registers(adapter, sim_bench):
    assert adapter.read(3, 1, 0x0002) == 0x7C0A
    adapter.write(3, 7, 0x0010, 0x1234)
    assert adapter.read(3, 7, 0x0010) == 0x1234
    assert adapter.modify(3, 1, 0x0000, 0x0800, 0x0800) == (0x2040, 0x2840)
    assert adapter.read(3, 1, 0x0000) == 0x2840
    assert adapter.read_c22(3, 2) == 0x7C0A
    adapter.write_c22(3, 9, 0x0200)
    assert adapter.read_c22(3, 9) == 0x0200
    assert adapter.read32(3, 0x100) == 0xCAFEF00D
    adapter.write32(3, 0x104, 0x01020304)
    assert adapter.read32(3, 0x104) == 0x01020304


# Every indirect path, with and without delegation, is read through the
# exports in tests/chipbench; here: the setting reaches the library, and a
# read and a write of an indirect MMD pass through the Python layer.
@pytest.mark.sim_bench(BENCH)
@pytest.mark.parametrize("delegated", [True, False], ids=["mailbox", "bridges"])
def test_delegations_are_set_per_kind_and_indirect_mmds_pass_through(adapter, delegated):
    for kind in Delegation:
        adapter.set_delegation(kind, delegated)
        assert adapter.delegation(kind) is delegated
    assert adapter.read(3, 27, 0x42) == 0x1234  # SERDES control registers
    adapter.write(3, 27, 0x43, 0x5555)
    assert adapter.read(3, 27, 0x43) == 0x5555


@pytest.mark.sim_bench(BENCH)
def test_clause45_over_clause22_tunnel(adapter, sim_bench):
    assert not adapter.clause45_over_clause22
    adapter.clause45_over_clause22 = True
    assert adapter.clause45_over_clause22
    assert adapter.read(3, 1, 0x0000) == 0x2040
    with pytest.raises(mdiohost.InvalidArgumentError, match="tunnels Clause 45"):
        with adapter.batch(3) as batch:
            batch.read(1, 0)
    adapter.clause45_over_clause22 = False
    assert adapter.read_block(3, 1, [0, 2]) == [0x2040, 0x7C0A]


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda a: a.read(32, 1, 0), "Phy id, 32, out of range"),
        (lambda a: a.read(1 << 31, 1, 0), "phy 2147483648 is out of range"),
        (lambda a: a.write(0, 1, 0, 0x10000), "value 65536 is out of range"),
        (lambda a: a.read_c22(0, 32), "register 32 is out of range"),
        (lambda a: a.read(0, 1, -1), "register -1 is out of range"),
    ],
)
def test_refused_values_raise_invalid_argument(sim_bench, call, error):
    with mdiohost.open("AA000001") as adapter:
        with pytest.raises(mdiohost.InvalidArgumentError, match=error):
            call(adapter)
        assert adapter.read(0, 1, 2) == 0x7C0A


def test_trace_to_a_file_and_to_a_callable(sim_bench, tmp_path):
    path = tmp_path / "trace.csv"
    lines = []
    with mdiohost.open("AA000001") as adapter:
        mdiohost.trace_to(path)
        adapter.read(1, 1, 0x0002)
        mdiohost.trace_to(lines.append)  # stops the file trace first
        adapter.write(1, 7, 0x0010, 0x00AB)
        mdiohost.log_message("marker")
        adapter.read(1, 7, 0x0010)
        mdiohost.stop_trace()
        adapter.read(1, 1, 0x0003)
    header = "adapter,phy,op,mmd,address,value,"
    assert path.read_text().splitlines() == [header, "0,1,MR,01,0002,7C0A"]
    assert lines == [header, "0,1,MW,07,0010,00AB", "marker", "0,1,MR,07,0010,00AB"]
