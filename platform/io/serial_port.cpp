#include "platform/io/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/io/device_access.h"

namespace platform {
namespace {

// How long a write waits for the line to take more bytes before it gives up; at 38400 baud the
// longest frame (1000 bytes) leaves the port in about 260 ms.
constexpr int kWriteStallMs = 500;

void set_error(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}

// A pseudo-terminal has no line: its driver forces 8 bits without parity and refuses PARENB.
bool is_pseudo_terminal(int fd) {
  int number = 0;
  if (::ioctl(fd, TIOCGPTN, &number) == 0) return true;  // the master side
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
         major(st.st_rdev) <= 143;
}

termios raw_line(termios tio) {
  tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | IGNPAR | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                           IXON | IXOFF | IXANY | IMAXBEL | IUCLC);
  // Parity is checked; a byte received with a parity error reads as 0, which the CRC rejects.
  tio.c_iflag |= INPCK;
  tio.c_oflag &= ~tcflag_t(OPOST);
  tio.c_lflag &= ~tcflag_t(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN);
  tio.c_cflag &= ~tcflag_t(CSIZE | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B38400);
  ::cfsetospeed(&tio, B38400);
  return tio;
}

// True when the device took the framing and speed asked for (a driver may drop what it lacks).
bool line_took(int fd, const termios& wanted) {
  termios now;
  constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CSTOPB;
  return ::tcgetattr(fd, &now) == 0 && (now.c_cflag & kFraming) == (wanted.c_cflag & kFraming) &&
         ::cfgetospeed(&now) == ::cfgetospeed(&wanted) && (now.c_lflag & ICANON) == 0;
}

// 38400 8E1 and fully raw, so that every byte value passes unchanged and reads never wait.
bool configure_line(int fd, std::string* error) {
  termios tio;
  if (::tcgetattr(fd, &tio) != 0) {
    set_error(error, "cannot read the line settings");
    return false;
  }
  termios wanted = raw_line(tio);
  int rc = ::tcsetattr(fd, TCSANOW, &wanted);
  if (rc == 0 && line_took(fd, wanted)) return true;
  int failure = rc == 0 ? EINVAL : errno;
  if (is_pseudo_terminal(fd)) {
    wanted.c_cflag &= ~tcflag_t(PARENB);
    wanted.c_iflag &= ~tcflag_t(INPCK);
    rc = ::tcsetattr(fd, TCSANOW, &wanted);
    if (rc == 0 && line_took(fd, wanted)) return true;
    failure = rc == 0 ? EINVAL : errno;
  }
  errno = failure;
  set_error(error, "cannot set the line to 38400 8E1 raw");
  return false;
}

bool set_non_blocking(int fd, std::string* error) {
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
    set_error(error, "cannot make the port non-blocking");
    return false;
  }
  return true;
}

}  // namespace

SerialPort::~SerialPort() { close(); }

bool SerialPort::open(const std::string& device, std::string* error) {
  close();
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int failure = errno;
    set_error(error, device);
    const std::string advice = permission_advice(device, failure, "dialout");
    if (error && !advice.empty()) *error += "; " + advice;
    return false;
  }
  if (!::isatty(fd)) {
    errno = ENOTTY;
    set_error(error, device);
    ::close(fd);
    return false;
  }
  // The port is not shared: further opens of the device are refused while it is ours.
  ::ioctl(fd, TIOCEXCL);
  return adopt(fd, error);
}

bool SerialPort::adopt(int fd, std::string* error) {
  close();
  if (fd < 0) {
    errno = EBADF;
    set_error(error, "no descriptor");
    return false;
  }
  if (!configure_line(fd, error) || !set_non_blocking(fd, error)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SerialPort::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

size_t SerialPort::read_available(uint8_t* buffer, size_t max) {
  if (fd_ < 0) return 0;
  size_t done = 0;
  while (done < max) {
    const size_t asked = max - done;
    ssize_t got = ::read(fd_, buffer + done, asked);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
    // A terminal's read hands over all it holds: after a short read there is nothing more yet.
    if (size_t(got) < asked) break;
  }
  return done;
}

bool SerialPort::wait_readable(int timeout_ms) {
  if (fd_ < 0) return false;
  using namespace std::chrono;
  auto deadline = steady_clock::now() + milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    int left = int(duration_cast<milliseconds>(deadline - steady_clock::now()).count());
    pollfd p{fd_, POLLIN, 0};
    int ready = ::poll(&p, 1, left < 0 ? 0 : left);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && (p.revents & POLLIN);
  }
}

size_t SerialPort::write(const uint8_t* data, size_t n) {
  if (fd_ < 0) return 0;
  size_t done = 0;
  while (done < n) {
    ssize_t put = ::write(fd_, data + done, n - done);
    if (put > 0) {
      done += size_t(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) break;
    pollfd p{fd_, POLLOUT, 0};
    int ready = ::poll(&p, 1, kWriteStallMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || !(p.revents & POLLOUT)) break;
  }
  return done;
}

void SerialPort::purge() {
  if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

bool open_pty_pair(PtyPair* out, std::string* error) {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) {
    set_error(error, "cannot open a pseudo-terminal");
    return false;
  }
  char name[128];
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    set_error(error, "cannot unlock the pseudo-terminal");
    ::close(master);
    return false;
  }
  // The line settings of a pair live with the slave side; setting them through the master makes
  // the slave raw before anyone opens it. The master side itself has no line processing.
  if (!configure_line(master, error)) {
    ::close(master);
    return false;
  }
  out->master_fd = master;
  out->slave_path = name;
  return true;
}

}  // namespace platform
