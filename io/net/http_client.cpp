#include "io/net/http_client.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <mutex>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"

namespace {

std::mutex baseMutex;
bool baseSet = false;
std::string serverBase;

struct Reply {
  std::string* body;
  size_t maxBytes;
  bool cut = false;
};

// Keeps at most maxBytes; the transfer is stopped once they are there, so a
// hostile or broken server cannot make us hold an endless reply.
size_t collectReply(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<Reply*>(user);
  size_t bytes = size * count;
  size_t room = reply->maxBytes - reply->body->size();
  if (bytes > room) {
    reply->body->append(data, room);
    reply->cut = true;
    return 0;
  }
  reply->body->append(data, bytes);
  return bytes;
}

int keepGoing(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancelled = static_cast<const std::function<bool()>*>(user);
  return (*cancelled && (*cancelled)()) ? 1 : 0;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

int codeForCurlResult(CURLcode result, const std::string& url) {
  LogPrintf(L"HTTP request to '%S' failed: %S", url.c_str(), curl_easy_strerror(result));
  return result == CURLE_OPERATION_TIMEDOUT ? kErrTimeout : kErrNetwork;
}

void setCommonOptions(CURL* curl, const std::string& url, int32_t timeoutMs, Reply& reply) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L); // time-outs must not raise signals in a threaded process
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectReply);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
}

int perform(CURL* curl, const std::string& url, int32_t timeoutMs, Reply& reply) {
  setCommonOptions(curl, url, timeoutMs, reply);
  CURLcode result = curl_easy_perform(curl);
  if (result == CURLE_WRITE_ERROR && reply.cut) result = CURLE_OK;
  if (result != CURLE_OK) return codeForCurlResult(result, url);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400) {
    LogPrintf(L"Server responded with HTTP code %d.", static_cast<int>(status));
    return kErrNetwork;
  }
  return kOk;
}

} // namespace

int NetInit() {
  int code = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK ? kOk : kErrNetwork;
  return ErrorSet(code, "NetInit");
}

void NetEnd() { curl_global_cleanup(); }

void NetSetServerBase(const wchar_t* base) {
  std::lock_guard<std::mutex> lock(baseMutex);
  serverBase = base != nullptr ? WideToUtf8(base) : std::string();
  baseSet = base != nullptr;
}

std::string NetGetServerBase() {
  std::string base;
  {
    std::lock_guard<std::mutex> lock(baseMutex);
    if (baseSet) {
      base = serverBase;
    } else if (const char* env = std::getenv("QV_SERVER_BASE")) {
      base = env;
    }
  }
  if (!base.empty() && base.back() != '/') base.push_back('/');
  return base;
}

int HttpGet(const std::string& url, int32_t timeoutMs, size_t maxBytes, std::string& body) {
  body.clear();
  if (url.empty()) return ErrorSet(kErrNetwork, "HttpGet");
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return ErrorSet(kErrNoMemory, "HttpGet");
  Reply reply{&body, maxBytes};
  return ErrorSet(perform(curl.get(), url, timeoutMs, reply), "HttpGet");
}

int HttpPostForm(const std::string& url, const std::string& form, int32_t timeoutMs, std::string& reply) {
  reply.clear();
  if (url.empty()) return ErrorSet(kErrNetwork, "HttpPostForm");
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return ErrorSet(kErrNoMemory, "HttpPostForm");
  curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, form.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
  Reply collected{&reply, 64 * 1024};
  return ErrorSet(perform(curl.get(), url, timeoutMs, collected), "HttpPostForm");
}

int HttpPostFormAnswer(const std::string& url, const std::string& form, int32_t timeoutMs, std::string& reply,
                       std::string& failure, const std::function<bool()>& cancelled) {
  reply.clear();
  failure.clear();
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return ErrorSet(kErrNoMemory, "HttpPostFormAnswer");
  Reply collected{&reply, 64 * 1024};
  setCommonOptions(curl.get(), url, timeoutMs, collected);
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, form.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
  curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, keepGoing);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &cancelled);
  CURLcode result = curl_easy_perform(curl.get());
  if (result == CURLE_WRITE_ERROR && collected.cut) result = CURLE_OK;
  if (result == CURLE_OK) return ErrorSet(kOk, "HttpPostFormAnswer");
  failure = errorText[0] != 0 ? errorText : curl_easy_strerror(result);
  if (result == CURLE_ABORTED_BY_CALLBACK) return ErrorSet(kErrStopped, "HttpPostFormAnswer");
  return ErrorSet(codeForCurlResult(result, url), "HttpPostFormAnswer");
}

std::string UrlEncode(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (unsigned char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '_' || c == '.' || c == '~';
    if (plain) {
      encoded.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      encoded.push_back('+');
    } else {
      encoded.push_back('%');
      encoded.push_back(hex[c >> 4]);
      encoded.push_back(hex[c & 0x0F]);
    }
  }
  return encoded;
}
