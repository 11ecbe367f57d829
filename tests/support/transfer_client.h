#pragma once
// The sender's side of the local-network transfer, as a phone would speak
// it, for tests against the running receiver on loopback. Each step is its
// own call so a test can stop between them (look at the progress, cut the
// connection mid-file).
#include <cstdint>
#include <string>

// Sends the discovery query to 127.0.0.1:port; the reply, or "" after the
// time-out.
std::string TransferDiscover(int udpPort, int timeoutMs = 3000);

class TransferPushClient {
public:
  ~TransferPushClient();
  bool Connect(int tcpPort);
  bool SendHeader(int fileCount, uint64_t totalBytes);
  bool SendFileHeader(char kind, const std::string& name, uint64_t size);
  bool SendBytes(const std::string& bytes);
  // The receiver's next answer byte(s): up to count bytes within the time;
  // "" when the connection closed or nothing came.
  std::string Read(size_t count, int timeoutMs = 5000);
  void Close();

  // A whole push of a video and/or a data log (empty names are left out);
  // the receiver's answers, "AK" when it took them.
  static std::string PushFiles(int tcpPort, const std::string& videoName, const std::string& video,
                               const std::string& logName, const std::string& log);

private:
  int fd_ = -1;
};
