// Minimal blocking TCP over loopback for the benchmarks: the baseline the link is compared with.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <thread>

namespace tolvanet::bench {

inline bool ReadExactly(int fd, char* buf, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, buf + got, n - got);
    if (r <= 0)
      return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

inline bool WriteAll(int fd, const std::string& bytes) {
  std::size_t put = 0;
  while (put < bytes.size()) {
    const ssize_t r = ::write(fd, bytes.data() + put, bytes.size() - put);
    if (r <= 0)
      return false;
    put += static_cast<std::size_t>(r);
  }
  return true;
}

inline void NoDelay(int fd) {
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// Answers every request of the one client it accepts, until the client closes. With
// `relay` it first takes the 9-byte registration and answers "Ready" and a zero byte, as the
// relay does, so that the link itself can talk to it.
class PingPongServer {
 public:
  PingPongServer(std::size_t request_size, std::string answer, bool relay = false)
      : request_size_(request_size), answer_(std::move(answer)), relay_(relay) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 1);
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  // The client must have connected and closed by now.
  ~PingPongServer() {
    thread_.join();
    ::close(listener_);
  }
  std::uint16_t port() const { return port_; }

 private:
  void Serve() {
    const int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0)
      return;
    NoDelay(fd);
    char registration[9];
    if (!relay_ || (ReadExactly(fd, registration, sizeof registration) &&
                    WriteAll(fd, std::string("Ready\0", 6)))) {
      std::string request(request_size_, '\0');
      while (ReadExactly(fd, request.data(), request.size()) && WriteAll(fd, answer_)) {
      }
    }
    ::close(fd);
  }

  std::size_t request_size_;
  std::string answer_;
  bool relay_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

// A connected, TCP_NODELAY client socket, or -1.
inline int ConnectLoopback(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  NoDelay(fd);
  return fd;
}

}  // namespace tolvanet::bench
