#include "ui/shell/YouTubeUpload.h"

#include <cctype>
#include <cstdlib>
#include <mutex>

#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/net/http_client.h"

namespace {

constexpr const char* kDevKey =
    "key=Kd82mQvT3xLp9WzR4nBs7YcH1jFg6UeA0tNk5VrM2qXw8ZyC3bPd7LhG4sJf9TaE1oQn6RmK2vYu8XcB5zWl0-Hp3Gi7NsDf4Q";
constexpr const char* kLoginPath = "/youtube/accounts/ClientLogin";
constexpr int32_t kLoginTimeoutMs = 60000;
constexpr size_t kLoginLineMaxBytes = 1023;

// The service's published names.
constexpr const char* kServiceLoginBase = "https://www.google.com";
constexpr const char* kServiceUploadHost = "uploads.gdata.youtube.com";
constexpr int kServiceUploadPort = 80;
constexpr const char* kAtomNamespace = "http://www.w3.org/2005/Atom";
constexpr const char* kMediaNamespace = "http://search.yahoo.com/mrss/";
constexpr const char* kSchemaNamespace = "http://gdata.youtube.com/schemas/2007";
constexpr const char* kCategoryScheme = "http://gdata.youtube.com/schemas/2007/categories.cat";

struct ServiceHosts {
  std::mutex mutex;
  std::string loginBase;
  std::string uploadHost;
  int uploadPort = 0;
};

ServiceHosts& hosts() {
  static ServiceHosts instance;
  return instance;
}

std::string envText(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i] != 0; ++i) {
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// Text as XML character data: the three markup characters escaped, and the
// control characters XML cannot carry at all left out, so any title gives
// a well-formed entry.
std::string xmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (u >= 0x20 || c == '\t' || c == '\n' || c == '\r') out.push_back(c);
  }
  return out;
}

// Percent escapes for what a URL may not carry as it is (UTF-8 bytes,
// blanks, controls and the few unsafe marks); a file name can never break
// the header line.
std::string urlEscape(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  static const std::string allowed = "-._~!*'();:@&=+$,/?#[]";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) != 0 && c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (allowed.find(static_cast<char>(c)) != std::string::npos) {
      out.push_back(static_cast<char>(c));
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0x0F];
    }
  }
  return out;
}

std::string lastPathComponent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

YouTubeUpload::YouTubeUpload() : devKey_(kDevKey), boundary_(std::string("--") + kBoundaryHeader) {}

void YouTubeUpload::SetServiceHosts(const std::string& loginBase, const std::string& uploadHost, int uploadPort) {
  std::lock_guard<std::mutex> lock(hosts().mutex);
  hosts().loginBase = loginBase;
  hosts().uploadHost = uploadHost;
  hosts().uploadPort = uploadPort;
}

std::string YouTubeUpload::loginBase() {
  std::lock_guard<std::mutex> lock(hosts().mutex);
  if (!hosts().loginBase.empty()) return hosts().loginBase;
  std::string env = envText("QV_UPLOAD_LOGIN_BASE");
  return env.empty() ? kServiceLoginBase : env;
}

void YouTubeUpload::uploadAddress(std::string& host, int& port) {
  std::lock_guard<std::mutex> lock(hosts().mutex);
  host = hosts().uploadHost;
  port = hosts().uploadPort > 0 ? hosts().uploadPort : kServiceUploadPort;
  if (!host.empty()) return;
  std::string env = envText("QV_UPLOAD_HOST");
  size_t colon = env.rfind(':');
  if (colon != std::string::npos) {
    port = std::atoi(env.c_str() + colon + 1);
    env.resize(colon);
  }
  host = env.empty() ? kServiceUploadHost : env;
  if (port <= 0 || port > 65535) port = kServiceUploadPort;
}

bool YouTubeUpload::fail(const std::wstring& message) {
  die_ = true;
  if (!aborted_) AppMessageBox(message.c_str(), 16);
  return false;
}

void YouTubeUpload::Abort() {
  aborted_ = true;
  die_ = true;
}

bool YouTubeUpload::Login(const std::string& account, const std::string& password) {
  userName_ = account;
  progress_ = 0;
  if (aborted_) return false;
  const std::string form =
      "Email=" + UrlEncode(account) + "&Passwd=" + UrlEncode(password) + "&service=youtube&source=Quelvatron2";
  std::string reply;
  std::string failure;
  int code = HttpPostFormAnswer(loginBase() + kLoginPath, form, kLoginTimeoutMs, reply, failure,
                                [this]() { return aborted_.load(); });
  if (aborted_) return false;
  if (code != 0) {
    return fail(failure.empty() ? std::wstring(L"Login Connection Error!")
                                : L"Login Connection Error: " + Utf8ToWide(failure));
  }
  std::string line = reply.substr(0, reply.find_first_of(std::string("\r\n\0", 3)));
  if (line.size() > kLoginLineMaxBytes) line.resize(kLoginLineMaxBytes);
  if (line.empty()) return fail(L"No Login Response Received!");
  if (startsWithNoCase(line, "auth") && line.find('=') != std::string::npos) {
    std::string token = line.substr(line.rfind('=') + 1);
    if (token.empty()) return fail(L"Error in Login Auth Response!");
    auth_ = token;
    return true;
  }
  return fail(Utf8ToWide(line));
}

std::string YouTubeUpload::GetHeader(const std::string& title, const std::string& desc, int, const std::string&,
                                     bool isPrivate) const {
  std::string part = boundary_ + "\r\n";
  part += "Content-Type: application/atom+xml; charset=UTF-8\r\n\r\n";
  part += "<?xml version=\"1.0\"?>\r\n";
  part += std::string("<entry xmlns=\"") + kAtomNamespace + "\"\r\n";
  part += std::string("xmlns:media=\"") + kMediaNamespace + "\"\r\n";
  part += std::string("xmlns:yt=\"") + kSchemaNamespace + "\">\r\n";
  part += "<media:group><media:title type=\"plain\">" + xmlEscape(title) + "</media:title>\r\n";
  part += "<media:description type=\"plain\">" + xmlEscape(desc) + "</media:description>\r\n";
  part += std::string("<media:category scheme=\"") + kCategoryScheme + "\">Autos</media:category>\r\n";
  if (isPrivate) part += "<yt:private/>\r\n";
  part += "</media:group>\r\n</entry>\r\n";
  part += boundary_ + "\r\n";
  part += "Content-Type: video/*\r\nContent-Transfer-Encoding: binary\r\n\r\n";
  return part;
}

std::string YouTubeUpload::GetRequestHead(const std::string& file, uint64_t contentLength) const {
  std::string host;
  int port = 0;
  uploadAddress(host, port);
  if (port != kServiceUploadPort) host += ":" + std::to_string(port);
  std::string head = "POST /feeds/api/users/default/uploads HTTP/1.0\r\n";
  head += "Host: " + host + "\r\n";
  head += std::string("Content-Type: multipart/related; boundary=") + kBoundaryHeader + "\r\n";
  head += "Content-Length: " + std::to_string(contentLength) + "\r\n";
  head += "X-GData-Key: " + devKey_ + "\r\n";
  head += "Authorization: GoogleLogin auth=" + auth_ + "\r\n";
  head += "Slug: " + urlEscape(lastPathComponent(file)) + "\r\n";
  head += "\r\n";
  return head;
}
