#include "cellcore/serial_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using handset::SerialLine;
using ::testing::HasSubstr;

namespace {

std::string open_failure(const std::string& device, int baud) {
    try {
        SerialLine::open(device, baud);
    } catch (const handset::SerialLineError& error) {
        return error.what();
    }
    return "opened";
}

SerialLine::Clock::time_point soon() {
    return SerialLine::Clock::now() + std::chrono::seconds(5);
}

} // namespace

TEST(SerialLine, SaysWhyADeviceCannotBeOpened) {
    EXPECT_THAT(open_failure("/dev/null", 12345), HasSubstr("unsupported speed 12345 baud"));
    EXPECT_THAT(open_failure("/nonexistent/ttyUSB9", 115200),
                HasSubstr("cannot open /nonexistent/ttyUSB9: No such file or directory"));
    EXPECT_THAT(open_failure("/dev/null", 115200), HasSubstr("/dev/null is not a serial line"));
}

TEST(SerialLine, OpensAPseudoTerminalRawAndCarriesBytesBothWays) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    SerialLine line = SerialLine::open(ptsname(master), 115200);
    SerialLine modem(master);
    ASSERT_TRUE(line.write("AT\r", soon()));
    std::string received;
    while (received.size() < 3 && modem.read(received, soon()) == SerialLine::ReadResult::data) {
    }
    EXPECT_EQ(received, "AT\r"); // raw: no carriage return turned into a line feed
}

TEST(SerialLine, ReportsAClosedPeerAtOnceInsteadOfWaiting) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    SerialLine line(ends[0]);
    ::close(ends[1]);
    std::string received;
    EXPECT_EQ(line.read(received, soon()), SerialLine::ReadResult::closed);
    EXPECT_TRUE(line.closed());
    EXPECT_FALSE(line.write("AT\r", soon()));
    EXPECT_EQ(line.read(received, soon()), SerialLine::ReadResult::closed);
}
