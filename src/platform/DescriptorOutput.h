// SPDX-License-Identifier: MIT
#pragma once

#include <streambuf>
#include <string>

namespace zelk {

// A buffered output stream buffer on a file descriptor (standard output) that keeps the reason of
// its first failed write, so that a program can say why its output was lost instead of ending as
// if all was well. After a failure nothing more is written.
class DescriptorOutput final : public std::streambuf {
 public:
  explicit DescriptorOutput(int fd) : m_fd(fd) { setp(m_buffer, m_buffer + sizeof m_buffer); }
  ~DescriptorOutput() override { sync(); }
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;

  // The errno of the first failed write, or 0.
  int Error() const { return m_error; }

 protected:
  int overflow(int_type c) override;
  int sync() override;

 private:
  // Writes out the buffer; false once a write has failed.
  bool Drain();

  int m_fd;
  int m_error = 0;
  char m_buffer[1 << 14];
};

}  // namespace zelk
