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

#include "engine/base/log.h"
#include "engine/base/text.h"
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

// The request's parts in order, each with its own count of bytes sent.
struct Stage {
  const char* data;
  size_t size;
  size_t sent = 0;
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
  std::vector<Stage> stages = {{head.data(), head.size()}, {part.data(), part.size()}, {nullptr, 0},
                               {trailer.data(), trailer.size()}, {kClosing, 4}};
  constexpr size_t kFileStage = 2;
  std::vector<char> piece(kFilePiece);
  size_t pieceSize = 0;
  size_t pieceSent = 0;
  uint64_t fileSent = 0;
  size_t stage = 0;
  std::string reply;
  const auto limit = std::chrono::milliseconds(replyTimeoutMs());
  auto lastMoved = std::chrono::steady_clock::now();

  while (!die_) {
    const bool sentAll = stage == stages.size();
    pollfd entry{socket, static_cast<short>(POLLIN | (sentAll ? 0 : POLLOUT)), 0};
    poll(&entry, 1, kPassMs);
    if (die_) break;
    if ((entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      bool closed = readReply(curl, reply);
      bool complete = statusLineComplete(reply);
      int code = complete ? statusCode(reply) : 0;
      bool earlyRefusal = complete && !(code >= 100 && code < 200) && !(code >= 201 && code <= 298);
      if (closed || (complete && (sentAll || earlyRefusal))) return judgeReply(reply);
    }
    if (!sentAll && (entry.revents & POLLOUT) != 0) {
      const char* data;
      size_t size;
      if (stage == kFileStage) {
        if (pieceSent == pieceSize && fileSent < fileSize) {
          pieceSize = std::fread(piece.data(), 1, static_cast<size_t>(std::min<uint64_t>(kFilePiece, fileSize - fileSent)), file);
          pieceSent = 0;
          if (pieceSize == 0) {
            LogPrintf(L"File read error during YouTube upload!");
            return fail(L"Error during file read!");
          }
        }
        data = piece.data() + pieceSent;
        size = pieceSize - pieceSent;
      } else {
        data = stages[stage].data + stages[stage].sent;
        size = stages[stage].size - stages[stage].sent;
      }
      size_t accepted = 0;
      CURLcode result = size > 0 ? curl_easy_send(curl, data, size, &accepted) : CURLE_OK;
      if (result != CURLE_OK && result != CURLE_AGAIN) {
        // The server went away mid-request; whatever it said before decides.
        readReply(curl, reply);
        LogPrintf(L"YouTube upload connection lost: %S", curl_easy_strerror(result));
        return judgeReply(reply);
      }
      if (accepted > 0) lastMoved = std::chrono::steady_clock::now();
      if (stage == kFileStage) {
        pieceSent += accepted;
        fileSent += accepted;
        if (fileSent == fileSize && pieceSent == pieceSize) ++stage;
      } else if ((stages[stage].sent += accepted) == stages[stage].size) {
        ++stage;
      }
      progress_ = fileSize > 0 ? 100.0 * static_cast<double>(fileSent) / static_cast<double>(fileSize)
                               : (stage > kFileStage ? 100.0 : 0.0);
      if (stage == stages.size()) lastMoved = std::chrono::steady_clock::now();
    }
    if (std::chrono::steady_clock::now() - lastMoved > limit) {
      LogPrintf(L"YouTube upload: no %S within %d s", sentAll ? "response" : "progress", replyTimeoutMs() / 1000);
      return fail(sentAll ? L"No response from the server. Upload may have failed."
                          : L"The server stopped taking the upload. Upload failed.");
    }
  }
  return false;
}
