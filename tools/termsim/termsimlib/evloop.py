"""A small selector loop: readers, timers on the monotonic clock, calls
posted from other threads, and a wake-up descriptor for signals. It sleeps
in select() until something is due, so an idle simulator uses no CPU."""

import collections
import heapq
import itertools
import logging
import selectors
import signal
import socket
import threading
import time

log = logging.getLogger("termsim")


def _guarded(fn, *args):
    # One failing handler must not end the simulation the tests talk to.
    try:
        fn(*args)
    except Exception:
        log.exception("handler %r failed", fn)


class Timer:
    __slots__ = ("deadline", "fn", "args", "cancelled")

    def __init__(self, deadline, fn, args):
        self.deadline = deadline
        self.fn = fn
        self.args = args
        self.cancelled = False

    def cancel(self):
        self.cancelled = True


class EventLoop:
    def __init__(self):
        self.sel = selectors.DefaultSelector()
        self._timers = []
        self._order = itertools.count()
        self._posted = collections.deque()
        self._wake_r, self._wake_w = socket.socketpair()
        self._wake_r.setblocking(False)
        self._wake_w.setblocking(False)
        self.sel.register(self._wake_r, selectors.EVENT_READ, self._drain_wake)
        self._running = False
        self._after_each = []
        self._signals_hooked = False

    # --- registration

    def add_reader(self, fileobj, callback):
        self.sel.register(fileobj, selectors.EVENT_READ, callback)

    def remove_reader(self, fileobj):
        try:
            self.sel.unregister(fileobj)
        except (KeyError, ValueError):
            pass

    def after_each(self, fn):
        """fn() runs after every round of events (used for pending waits)."""
        self._after_each.append(fn)

    def call_at(self, deadline, fn, *args):
        t = Timer(deadline, fn, args)
        heapq.heappush(self._timers, (deadline, next(self._order), t))
        return t

    def call_later(self, delay, fn, *args):
        return self.call_at(time.monotonic() + max(0.0, delay), fn, *args)

    def call_soon_threadsafe(self, fn, *args):
        self._posted.append((fn, args))
        self.wake()

    def wake(self):
        try:
            self._wake_w.send(b"\0")
        except (BlockingIOError, OSError):
            pass  # already pending or closing: the loop wakes anyway

    def hook_signals(self, handlers):
        """handlers: {signum: fn}. fn runs in the loop, not in the handler."""
        if threading.current_thread() is not threading.main_thread():
            return
        signal.set_wakeup_fd(self._wake_w.fileno(), warn_on_full_buffer=False)
        for signum, fn in handlers.items():
            signal.signal(signum, lambda _s, _f, fn=fn: self._posted.append((fn, ())))
        self._signals_hooked = True

    # --- running

    def _drain_wake(self):
        try:
            while self._wake_r.recv(4096):
                pass
        except (BlockingIOError, InterruptedError):
            pass

    def _next_timeout(self):
        while self._timers and self._timers[0][2].cancelled:
            heapq.heappop(self._timers)
        if self._posted:
            return 0
        if not self._timers:
            return None
        return max(0.0, self._timers[0][0] - time.monotonic())

    def run_once(self, max_wait=None):
        timeout = self._next_timeout()
        if max_wait is not None:
            timeout = max_wait if timeout is None else min(timeout, max_wait)
        for key, _ in self.sel.select(timeout):
            _guarded(key.data)
        while self._posted:
            fn, args = self._posted.popleft()
            _guarded(fn, *args)
        now = time.monotonic()
        while self._timers and self._timers[0][0] <= now:
            _, _, t = heapq.heappop(self._timers)
            if not t.cancelled:
                _guarded(t.fn, *t.args)
        for fn in self._after_each:
            _guarded(fn)

    def run(self):
        self._running = True
        while self._running:
            self.run_once()

    def stop(self):
        self._running = False
        self.wake()

    def close(self):
        if self._signals_hooked:
            signal.set_wakeup_fd(-1)
        self.sel.close()
        self._wake_r.close()
        self._wake_w.close()
