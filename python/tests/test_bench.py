"""The bench from Python: descriptions as files, and a fresh bench per test."""

import json

import pytest

import mdiohost
from mdiohost.sim import Bench, Board, Eeprom, MdioBridge, Phy, Registers32Device, unplug


def test_description_writes_the_bench_file_format(tmp_path):
    bench = Bench(
        [Board("K8B00042", phys=[Phy(5, phy_id=0x7C0A4C21, clause45={1: {0: 0x2040}},
                                     chip={"mailboxBusyPolls": 3})],
               i2c_devices=[MdioBridge(0x10, 5), Registers32Device(0x21, {0x100: 7}),
                            Eeprom(0x50, contents={0: 0x4B})]),
         Board("TV00042B", "Talvik MDIO", chip_type=5, board_registers={5: 2})],
        faults=[unplug("TV00042B", 40, 10)],
    )
    written = json.loads(open(bench.write(tmp_path / "bench.json")).read())
    k8 = written["boards"][0]
    assert k8["phys"] == [{"address": 5, "phyId": 0x7C0A4C21, "clause45": {"1": {"0x0": 0x2040}},
                           "chip": {"mailboxBusyPolls": 3}}]
    assert [d["kind"] for d in k8["i2cDevices"]] == ["mdioBridge", "registers32", "eeprom"]
    assert written["boards"][1]["boardRegisters"] == {"5": 2}
    assert written["faults"] == [{"kind": "unplug", "serialNumber": "TV00042B", "afterCalls": 40,
                                  "replugAfterCalls": 10}]


@pytest.mark.parametrize("round", [1, 2])
def test_each_test_gets_a_fresh_bench(sim_bench, round):
    # Both rounds see the register as the bench starts it, although each
    # writes it: every test runs in a process of its own.
    with mdiohost.open("AA000001") as adapter:
        assert adapter.read(0, 7, 0x10) == 0
        adapter.write(0, 7, 0x10, round)
        assert sim_bench.counters().round_trips >= 2


def test_the_bench_of_a_process_is_started_once(sim_bench):
    with mdiohost.open("AA000001"):
        pass
    with pytest.raises(mdiohost.Error, match="already built"):
        Bench.default().start()
    assert sim_bench.start() is sim_bench  # the started one again: nothing to do


def test_wire_speed_keys_are_written_only_when_set():
    assert Phy(6).to_json() == {"address": 6}
    assert "timing" not in Bench().to_json()
    assert Phy(6, post_read_increment=False).to_json() == {"address": 6, "postReadIncrement": False}
    assert Bench(timing="pessimistic").to_json()["timing"] == "pessimistic"
    custom = {"preset": "ideal", "mpsseCommandNanoseconds": 150, "latencyTimer": False}
    assert Bench(timing=custom).to_json()["timing"] == custom


@pytest.mark.parametrize("timing", ["fast", {"preset": "Typical"}])
def test_a_timing_the_bench_does_not_know_is_refused_at_once(timing):
    with pytest.raises(mdiohost.InvalidArgumentError, match="is not a setting of the bench"):
        Bench(timing=timing)


PESSIMISTIC = Bench([Board("K8B00042", "K8D MDIO", phys=[Phy(0)])], timing="pessimistic")


@pytest.mark.sim_bench(PESSIMISTIC)
def test_the_timing_reaches_the_bench(sim_bench):
    # The compact encoding clocks the same bits with fewer commands, 200 ns
    # each when they are pessimistic (each setting's prices: tests/sim).
    with mdiohost.open("K8B00042") as adapter:
        with sim_bench.measure() as plain:
            adapter.read_burst(0, 1, 0, 1000)
        adapter.compact_encoding = True
        with sim_bench.measure() as compact:
            adapter.read_burst(0, 1, 0, 1000)
    saved = plain.counters.modeled_seconds - compact.counters.modeled_seconds
    assert saved == pytest.approx(0.0017, abs=0.0001)
