#pragma once
// A serial device through termios: 38400 baud, 8 data bits, even parity, 1 stop bit, fully raw
// (no line editing, echo, CR/LF translation, signal characters or software flow control), so
// every byte value passes both ways unchanged. Reads return at once with what has arrived.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens and configures the device; false with a reason in *error when it cannot.
  bool open(const std::string& device, std::string* error = nullptr);
  // Adopts an already open descriptor (one end of a pseudo-terminal pair) and configures it;
  // the port owns the descriptor from here on and closes it when configuring fails.
  bool adopt(int fd, std::string* error = nullptr);
  void close();
  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Returns at once with up to max bytes that have already arrived (0 when none or closed).
  size_t read_available(uint8_t* buffer, size_t max);
  // Waits up to timeout_ms for at least one byte to arrive; true when bytes are there.
  bool wait_readable(int timeout_ms);
  // Writes all bytes unless the device fails; returns the number written.
  size_t write(const uint8_t* data, size_t n);
  // Throws away what is queued in both directions.
  void purge();

 private:
  int fd_ = -1;
};

// A pseudo-terminal pair in raw mode: the master descriptor (blocking, close-on-exec) and the
// path of the slave device.
struct PtyPair {
  int master_fd = -1;
  std::string slave_path;
};
bool open_pty_pair(PtyPair* out, std::string* error = nullptr);

}  // namespace platform
