"""pytest plugin: the ``sim_bench`` fixture, a fresh simulated bench per test.

The library and the simulated driver keep their state for the life of the
process, so every test that uses ``sim_bench`` runs in a process of its own,
forked from pytest's before the test's fixtures are set up; its reports come
back through a pipe. A test process that dies (a crash in native code) is
reported as a failure of that test and the run goes on.

Choose the bench with a marker, or get the built-in one::

    @pytest.mark.sim_bench(Bench([Board("K8B00042", phys=[Phy(0)])]))
    def test_something(sim_bench):
        ...

Where the platform cannot fork (Windows), ``sim_bench`` tests run in the
pytest process and only the first of them gets a bench; the others are
skipped.
"""

from __future__ import annotations

import os
import pickle
import signal
import sys
from typing import Any, Dict, Iterator, List

import pytest

from .sim.bench import Bench, started_bench

_FIXTURE = "sim_bench"
_CAN_FORK = hasattr(os, "fork")


def pytest_configure(config: pytest.Config) -> None:
    config.addinivalue_line(
        "markers", "sim_bench(bench): the mdiohost.sim.Bench the sim_bench fixture starts"
    )


@pytest.fixture
def sim_bench(request: pytest.FixtureRequest) -> Iterator[Bench]:
    """A started simulated bench, fresh for this test (see the module's text)."""
    marker = request.node.get_closest_marker(_FIXTURE)
    bench = marker.args[0] if marker and marker.args else Bench.default()
    if not _CAN_FORK and started_bench() is not None:
        pytest.skip("this platform cannot give each test a fresh bench (no fork)")
    bench.start()
    yield bench
    from . import _native

    if _native.used():
        _native.call("HW_Close")


@pytest.hookimpl(tryfirst=True)
def pytest_runtest_protocol(item: pytest.Item, nextitem: Any) -> Any:
    if not _CAN_FORK or _FIXTURE not in getattr(item, "fixturenames", ()):
        return None
    item.ihook.pytest_runtest_logstart(nodeid=item.nodeid, location=item.location)
    for report in _run_in_child(item):
        item.ihook.pytest_runtest_logreport(report=report)
    # What the parent set up for earlier tests run here (a module's fixtures)
    # is torn down when the next test no longer needs it, as pytest would.
    item.session._setupstate.teardown_exact(nextitem)
    item.ihook.pytest_runtest_logfinish(nodeid=item.nodeid, location=item.location)
    return True


def _run_in_child(item: pytest.Item) -> List[pytest.TestReport]:
    from _pytest.runner import runtestprotocol

    hook = item.config.hook
    sys.stdout.flush()
    sys.stderr.flush()
    reading, writing = os.pipe()
    child = os.fork()
    if child == 0:
        os.close(reading)
        status = 0
        try:
            reports = runtestprotocol(item, log=False, nextitem=None)
            serialised = [hook.pytest_report_to_serializable(config=item.config, report=r)
                          for r in reports]
            with os.fdopen(writing, "wb") as pipe:
                pickle.dump(serialised, pipe)
        except BaseException:  # noqa: BLE001 - the child must never return into pytest
            status = 1
        finally:
            sys.stdout.flush()
            sys.stderr.flush()
            os._exit(status)
    os.close(writing)
    with os.fdopen(reading, "rb") as pipe:
        data = pipe.read()
    _, status = os.waitpid(child, 0)
    if data:
        serialised: List[Dict[str, Any]] = pickle.loads(data)
        return [hook.pytest_report_from_serializable(config=item.config, data=d)
                for d in serialised]
    return [_crash_report(item, status)]


def _crash_report(item: pytest.Item, status: int) -> pytest.TestReport:
    if os.WIFSIGNALED(status):
        number = os.WTERMSIG(status)
        cause = f"signal {number} ({signal.Signals(number).name})"
    else:
        cause = f"exit status {os.WEXITSTATUS(status)}"
    return pytest.TestReport(
        nodeid=item.nodeid,
        location=item.location,
        keywords={name: 1 for name in item.keywords},
        outcome="failed",
        longrepr=f"the test's process ended with {cause} before reporting",
        when="call",
    )
