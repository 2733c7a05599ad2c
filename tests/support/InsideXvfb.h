#pragma once

namespace quorvale::test {

// For tests of the X11 backends on the process's own connection: the first call starts a
// private Xvfb and runs this executable again inside it, where a QApplication connects to
// that server and the tests run. Returns the tests' exit code.
int runTestsInsideXvfb(int argc, char** argv);

} // namespace quorvale::test
