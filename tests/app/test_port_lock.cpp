// The machine-wide lock of the UDP port: per port and network stack, held
// while the program runs, free again when it ends.
#include "TempDir.h"
#include "app/SingleInstance.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(UdpPortLock, OneHolderPerPort)
{
    TempDir dir;
    auto first = std::make_unique<UdpPortLock>(4000, dir.path());
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(QFile::exists(first->fileName()));
    UdpPortLock same(4000, dir.path()), other(4001, dir.path());
    EXPECT_FALSE(same.acquire()) << "the same port is refused";
    EXPECT_TRUE(other.acquire()) << "another port is another lock";
    EXPECT_NE(UdpPortLock::lockName(4000), UdpPortLock::lockName(4001));
    EXPECT_TRUE(UdpPortLock::lockName(4000).contains("-net")) << "named after the network stack";
    first.reset();
    EXPECT_TRUE(same.acquire()) << "free once its holder has gone";
}
