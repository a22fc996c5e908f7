#pragma once

// A free TCP port on 127.0.0.1 at the moment of asking.
int freeLoopbackPort();

// Before any client asks libcups: every client of this process (Qt's printer
// list included) talks to the scheduler on 127.0.0.1:port only. Nothing
// reads it where the system has no CUPS.
void useCupsServer(int port);

// A test main (the test includes QApplication and QtTest) for a process
// that sees no printers, whatever the machine runs: its spooler is a free
// port where nothing listens.
#define SW_TEST_MAIN_WITHOUT_PRINTERS(TestClass)                                                   \
    int main(int argc, char **argv) {                                                              \
        useCupsServer(freeLoopbackPort());                                                         \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
