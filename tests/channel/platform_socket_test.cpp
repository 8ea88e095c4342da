// The platform socket over loopback, and the factory that refuses other addresses.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "channel/Socket.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tarnwick {
namespace {

#ifdef _WIN32
using Handle = SOCKET;
const Handle kNone = INVALID_SOCKET;
void CloseRaw(Handle h) { closesocket(h); }
#else
using Handle = int;
const Handle kNone = -1;
void CloseRaw(Handle h) { ::close(h); }
#endif

// A bare listener on 127.0.0.1 with a free port, standing in for the router.
class Listener {
 public:
  Listener() {
    handle_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(handle_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(handle_, 4);
    socklen_t length = sizeof address;
    ::getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~Listener() {
    if (peer_ != kNone) CloseRaw(peer_);
    CloseRaw(handle_);
  }
  std::uint16_t port() const { return port_; }
  void Accept() { peer_ = ::accept(handle_, nullptr, nullptr); }
  void Send(const std::string& text) {
    ::send(peer_, text.data(), static_cast<int>(text.size()), 0);
  }
  std::string Receive() {
    char buffer[256];
    int n = static_cast<int>(::recv(peer_, buffer, sizeof buffer, 0));
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }
  void ClosePeer() {
    CloseRaw(peer_);
    peer_ = kNone;
  }

 private:
  Handle handle_ = kNone;
  Handle peer_ = kNone;
  std::uint16_t port_ = 0;
};

class PlatformSocketTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(InitialiseSocketLayer()); }
};

TEST_F(PlatformSocketTest, TalksOverLoopback) {
  Listener router;
  auto factory = MakePlatformSocketFactory(true);
  auto socket = factory->Make();
  ASSERT_TRUE(socket);
  ASSERT_TRUE(socket->Create());
  ASSERT_TRUE(socket->Connect("127.0.0.1", router.port()));
  router.Accept();

  char buffer[64];
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, 20), Socket::kTimedOut);

  router.Send("password: ");
  int n = socket->Receive(buffer, sizeof buffer, 2000);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n)), "password: ");

  EXPECT_EQ(socket->Send("admin\r\n", 7), 7);
  EXPECT_EQ(router.Receive(), "admin\r\n");

  // Capacity bounds what one receive stores.
  router.Send("abcdef");
  EXPECT_EQ(socket->Receive(buffer, 2, 2000), 2);

  router.ClosePeer();
  int rest = 0;
  for (int i = 0; i < 10 && (n = socket->Receive(buffer, sizeof buffer, 2000)) > 0; ++i) rest += n;
  EXPECT_EQ(rest, 4);
  EXPECT_EQ(n, 0);  // closed by the peer

  socket->ShutdownSend();
  socket->Close();
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, 0), -1);
  EXPECT_LE(socket->Send("x", 1), 0);
}

TEST_F(PlatformSocketTest, ResolvesHostNames) {
  Listener router;
  auto socket = MakePlatformSocketFactory(true)->Make();
  ASSERT_TRUE(socket->Create());
  EXPECT_TRUE(socket->Connect("localhost", router.port()));
}

TEST_F(PlatformSocketTest, ConnectToAClosedPortFails) {
  std::uint16_t port;
  {
    Listener gone;
    port = gone.port();
  }
  auto socket = MakePlatformSocketFactory(true)->Make();
  ASSERT_TRUE(socket->Create());
  EXPECT_FALSE(socket->Connect("127.0.0.1", port));
}

TEST_F(PlatformSocketTest, LoopbackOnlyRefusesOtherAddressesBeforeDialling) {
  auto factory = MakePlatformSocketFactory(true);
  for (const char* host : {"10.0.0.1", "192.168.1.1", "0.0.0.0"}) {
    SCOPED_TRACE(host);
    auto socket = factory->Make();
    ASSERT_TRUE(socket->Create());
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket->Connect(host, 23));
    // A dial to an address nobody answers would hang in the SYN retries for far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
}

}  // namespace
}  // namespace tarnwick
