"""I2C, GPIO and board registers, each on the adapters that have them and
refused on the others."""

import pytest

import mdiohost


def test_i2c_eeprom_written_and_read_back(sim_bench):
    with mdiohost.open("K8A00001:I2C") as i2c:
        assert i2c.i2c_read(0x50, 0x00, 1, 12) == b"K8U MDIO I2C"
        assert i2c.i2c_acknowledged()
        assert i2c.i2c_read(0x33, 0x00, 1, 2) == b"\xff\xff"  # nobody there
        assert not i2c.i2c_acknowledged()
        i2c.i2c_write(0x50, b"\x40python")  # pointer 0x40, then the data
        assert i2c.i2c_read(0x50, 0x40, 1, 6) == b"python"
        assert i2c.i2c_read(0x50, 0, 0, 2) == b"\xff\xff"  # on from where it stopped
        assert i2c.i2c_read(0x50, 0, 1, 0) == b""


@pytest.mark.parametrize(
    "name, call, text",
    [
        ("K8A00001:MDIO", lambda a: a.i2c_read(0x50, 0, 1, 4), "no raw I2C"),
        ("TV00001B", lambda a: a.i2c_write(0x50, b"\x00"), "no raw I2C"),
        ("K8A00001:I2C", lambda a: a.i2c_read(0x50, 0, 5, 1), "register_length 5"),
        ("K8A00001:I2C", lambda a: a.i2c_read(0x50, 0, 1, 65536), "count 65536"),
        ("K8A00001:I2C", lambda a: a.i2c_write(0x80, b""), "address 128"),
        ("K8A00001:MDIO", lambda a: a.gpio.__setitem__(13, 1), "has no GPIO pins"),
        ("AA000001", lambda a: a.gpio.__setitem__(8, 1), "isn't set as output"),
        ("AA000001", lambda a: a.gpio[16], "Invalid pin number"),
        ("AA000001", lambda a: a.board_read(0), "has no board registers"),
    ],
)
def test_services_refused_where_they_do_not_exist(sim_bench, name, call, text):
    with mdiohost.open(name) as adapter:
        with pytest.raises(mdiohost.InvalidArgumentError, match=text):
            call(adapter)


def test_gpio_outputs_and_inputs(sim_bench):
    with mdiohost.open("AA000001") as adapter:
        adapter.gpio[13] = 1
        assert adapter.gpio[13] == 1
        adapter.gpio[13] = 0
        assert (adapter.gpio[13], adapter.gpio[7]) == (0, 1)  # 7: an input, pulled up


def test_board_registers_of_the_older_family(sim_bench):
    with mdiohost.open("TV00001B") as older:
        assert older.board_read(0) == 0x54
        older.board_write(7, 0xA5)
        assert older.board_read(7) == 0xA5
