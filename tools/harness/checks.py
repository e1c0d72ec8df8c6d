"""Checks that print what held and stop at the first that does not."""


class CheckFailed(AssertionError):
    pass


def expect(condition, what):
    if not condition:
        raise CheckFailed(what)
    print("ok   " + what, flush=True)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise CheckFailed("%s: expected %r, got %r" % (what, expected, actual))
    expect(True, "%s = %r" % (what, actual))
