// The upload request on its plain TCP connection: the head, the entry, the
// file in 64 KiB pieces, the trailer, each written as soon as the
// connection takes more; the reply read whenever it comes, also early (an
// error answered before the body is complete) or together with the end of
// the stream, and waited for no longer than the reply time-out.
#include <curl/curl.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "base/log.h"
#include "base/text.h"
#include "ui/shell/YouTubeUpload.h"

namespace {

constexpr size_t kFilePiece = 65536;
constexpr int kPassMs = 50;
constexpr int kDefaultReplyTimeoutMs = 120000;
constexpr int32_t kConnectTimeoutMs = 30000;
constexpr size_t kReplyMaxBytes = 65536;
constexpr const char kClosing[] = "\r\n\r\n";

std::atomic<int> replyTimeout{0};

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int stopConnecting(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<std::atomic<bool>*>(user)->load() ? 1 : 0;
}

// The reply's status code: the number at byte 9, after "HTTP/1.x ".
int statusCode(const std::string& reply) {
  int code = 0;
  for (size_t i = 9; i < reply.size() && i < 12 && reply[i] >= '0' && reply[i] <= '9'; ++i) code = code * 10 + (reply[i] - '0');
  return code;
}

bool statusLineComplete(const std::string& reply) { return reply.find("\r\n") != std::string::npos; }

// Reads what has arrived; true once the server has closed its side.
bool readReply(CURL* curl, std::string& reply) {
  char buffer[8192];
  for (;;) {
    size_t got = 0;
    CURLcode result = curl_easy_recv(curl, buffer, sizeof buffer, &got);
    if (result == CURLE_AGAIN) return false;
    if (result != CURLE_OK || got == 0) return true;
    if (reply.size() < kReplyMaxBytes) reply.append(buffer, std::min(got, kReplyMaxBytes - reply.size()));
  }
}

// Whether what has come back decides the upload now: the server closed,
// or its status line is whole and either everything was sent or it refuses
// before the body is complete.
bool replyDecides(const std::string& reply, bool closed, bool sentAll) {
  if (closed) return true;
  if (!statusLineComplete(reply)) return false;
  int code = statusCode(reply);
  bool refusal = !(code >= 100 && code < 200) && !(code >= 201 && code <= 298);
  return sentAll || refusal;
}

// The request's parts in order (head, entry, file, trailer, the closing
// bytes), each with its own count of bytes sent; the file is read in
// pieces as the connection takes them and never held whole.
class RequestStream {
public:
  RequestStream(const std::string& head, const std::string& part, std::FILE* file, uint64_t fileSize,
                const std::string& trailer)
      : stages_{{head.data(), head.size()}, {part.data(), part.size()}, {nullptr, 0},
                {trailer.data(), trailer.size()}, {kClosing, 4}},
        file_(file), fileSize_(fileSize), piece_(kFilePiece) {
    skipEmptyFile();
  }

  bool finished() const { return stage_ == stages_.size(); }

  // The bytes to write next; false when the file gives no more.
  bool next(const char*& data, size_t& size) {
    if (stage_ != kFileStage) {
      data = stages_[stage_].data + stages_[stage_].sent;
      size = stages_[stage_].size - stages_[stage_].sent;
      return true;
    }
    if (pieceSent_ == pieceSize_) {
      pieceSize_ = std::fread(piece_.data(), 1, static_cast<size_t>(std::min<uint64_t>(kFilePiece, fileSize_ - fileSent_)), file_);
      pieceSent_ = 0;
      if (pieceSize_ == 0) return false;
    }
    data = piece_.data() + pieceSent_;
    size = pieceSize_ - pieceSent_;
    return true;
  }

  void sent(size_t accepted) {
    if (stage_ == kFileStage) {
      pieceSent_ += accepted;
      fileSent_ += accepted;
      if (fileSent_ == fileSize_) ++stage_;
    } else if ((stages_[stage_].sent += accepted) == stages_[stage_].size) {
      ++stage_;
      skipEmptyFile();
    }
  }

  // Percent of the file's bytes the connection took.
  double progress() const {
    if (fileSize_ == 0) return stage_ > kFileStage ? 100.0 : 0.0;
    return 100.0 * static_cast<double>(fileSent_) / static_cast<double>(fileSize_);
  }

private:
  static constexpr size_t kFileStage = 2;
  struct Stage {
    const char* data;
    size_t size;
    size_t sent = 0;
  };
  void skipEmptyFile() {
    if (stage_ == kFileStage && fileSize_ == 0) ++stage_;
  }

  std::vector<Stage> stages_;
  size_t stage_ = 0;
  std::FILE* file_;
  uint64_t fileSize_;
  uint64_t fileSent_ = 0;
  std::vector<char> piece_;
  size_t pieceSize_ = 0;
  size_t pieceSent_ = 0;
};

} // namespace

void YouTubeUpload::SetReplyTimeoutMs(int milliseconds) { replyTimeout = milliseconds > 0 ? milliseconds : 0; }

int YouTubeUpload::replyTimeoutMs() {
  int set = replyTimeout.load();
  return set > 0 ? set : kDefaultReplyTimeoutMs;
}

bool YouTubeUpload::judgeReply(const std::string& reply) {
  if (reply.size() < 12) {
    LogPrintf(L"YouTube upload incomplete response: '%S'", reply.c_str());
    return fail(L"Incomplete server response. Upload may have failed.");
  }
  int code = statusCode(reply);
  LogPrintf(L"YouTube upload responded with HTTP code %d", code);
  if (code >= 201 && code <= 298) return true;
  LogPrintf(L"YouTube upload failed! Response: '%S'", reply.c_str());
  return fail(WcsFormat(L"Server responded with HTTP code %d.", code));
}

bool YouTubeUpload::Upload(const std::string& title, const std::string& desc, int category, const std::string& file,
                           bool isPrivate) {
  progress_ = 0;
  die_ = aborted_.load();
  const std::string part = GetHeader(title, desc, category, file, isPrivate);
  const std::string trailer = "\r\n" + boundary_ + "--";
  std::unique_ptr<std::FILE, FileCloser> input(std::fopen(file.c_str(), "rb"));
  if (!input) return fail(L"Failed to open file!");
  uint64_t fileSize = 0;
  if (fseeko(input.get(), 0, SEEK_END) == 0) fileSize = static_cast<uint64_t>(ftello(input.get()));
  fseeko(input.get(), 0, SEEK_SET);
  LogPrintf(L"Starting YouTube upload");

  std::string host;
  int port = 0;
  uploadAddress(host, port);
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  CURLcode connected = CURLE_FAILED_INIT;
  if (curl && !die_) {
    const std::string url = "http://" + host + ":" + std::to_string(port) + "/";
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kConnectTimeoutMs));
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, stopConnecting);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &aborted_);
    connected = curl_easy_perform(curl.get());
  }
  if (connected != CURLE_OK) {
    LogPrintf(L"YouTube upload failed to connect to %S:%d (%S)", host.c_str(), port, curl_easy_strerror(connected));
    fail(L"Failed to open upload connection!");
    LogPrintf(L"YouTube upload failed or cancelled");
    return false;
  }
  const std::string head = GetRequestHead(file, part.size() + fileSize + trailer.size());
  bool sent = sendRequest(curl.get(), input.get(), fileSize, head, part, trailer);
  if (!sent || die_) {
    LogPrintf(L"YouTube upload failed or cancelled");
    return false;
  }
  LogPrintf(L"YouTube upload successful");
  return true;
}

bool YouTubeUpload::sendRequest(void* handle, std::FILE* file, uint64_t fileSize, const std::string& head,
                                const std::string& part, const std::string& trailer) {
  CURL* curl = static_cast<CURL*>(handle);
  curl_socket_t socket = CURL_SOCKET_BAD;
  curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket);
  RequestStream request(head, part, file, fileSize, trailer);
  std::string reply;
  const auto limit = std::chrono::milliseconds(replyTimeoutMs());
  auto lastMoved = std::chrono::steady_clock::now();
  while (!die_) {
    const bool sentAll = request.finished();
    pollfd entry{socket, static_cast<short>(POLLIN | (sentAll ? 0 : POLLOUT)), 0};
    poll(&entry, 1, kPassMs);
    if (die_) break;
    if ((entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      bool closed = readReply(curl, reply);
      if (replyDecides(reply, closed, sentAll)) return judgeReply(reply);
    }
    if (!sentAll && (entry.revents & POLLOUT) != 0) {
      const char* data = nullptr;
      size_t size = 0;
      if (!request.next(data, size)) {
        LogPrintf(L"File read error during YouTube upload!");
        return fail(L"Error during file read!");
      }
      size_t accepted = 0;
      CURLcode result = curl_easy_send(curl, data, size, &accepted);
      if (result != CURLE_OK && result != CURLE_AGAIN) {
        // The server went away mid-request; whatever it said before decides.
        readReply(curl, reply);
        LogPrintf(L"YouTube upload connection lost: %S", curl_easy_strerror(result));
        return judgeReply(reply);
      }
      request.sent(accepted);
      progress_ = request.progress();
      if (accepted > 0) lastMoved = std::chrono::steady_clock::now();
    }
    if (std::chrono::steady_clock::now() - lastMoved > limit) {
      LogPrintf(L"YouTube upload: no %S within %d s", sentAll ? "response" : "progress", replyTimeoutMs() / 1000);
      return fail(sentAll ? L"No response from the server. Upload may have failed."
                          : L"The server stopped taking the upload. Upload failed.");
    }
  }
  return false;
}
