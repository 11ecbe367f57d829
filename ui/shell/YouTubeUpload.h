#pragma once
// The client of the video-hosting service: a form login over HTTPS that
// returns an authorisation token, then one HTTP/1.0 multipart/related
// request on a plain TCP connection whose first part is an Atom entry
// (title, description, category, privacy) and whose second part is the
// video file, streamed as fast as the connection takes it. Runs on the
// upload window's thread; Abort and UploadProgress are safe from any
// thread. Failures are shown as message boxes (handed to the main thread)
// and logged; nothing is shown once the upload was aborted.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

class YouTubeUpload {
public:
  YouTubeUpload();

  // True with the token kept for Upload.
  bool Login(const std::string& account, const std::string& password);
  // The first part of the body: the entry with the title and description
  // (escaped for XML) and the private element when asked.
  std::string GetHeader(const std::string& title, const std::string& desc, int category,
                        const std::string& file, bool isPrivate) const;
  // The whole request head for a body of that many bytes.
  std::string GetRequestHead(const std::string& file, uint64_t contentLength) const;
  bool Upload(const std::string& title, const std::string& desc, int category, const std::string& file,
              bool isPrivate);
  // Stops a login or upload under way and any that follows on this object.
  void Abort();
  double UploadProgress() const { return progress_.load(); }

  const std::string& UserName() const { return userName_; }
  const std::string& Auth() const { return auth_; }

  // The service's addresses: the login's base URL ("https://host") and the
  // upload host and port. Until set (and after empty values) the
  // environment's QV_UPLOAD_LOGIN_BASE and QV_UPLOAD_HOST ("host:port")
  // give them, else the service's own.
  static void SetServiceHosts(const std::string& loginBase, const std::string& uploadHost, int uploadPort);
  // How long a finished request waits for its reply (and a send for the
  // connection to take more bytes) before it counts as failed; 0 restores
  // the default of two minutes.
  static void SetReplyTimeoutMs(int milliseconds);

  static constexpr const char* kBoundaryHeader = "--Quelvatron2";

private:
  static std::string loginBase();
  static void uploadAddress(std::string& host, int& port);
  static int replyTimeoutMs();
  // Shows the message (unless aborted), stops the run, false.
  bool fail(const std::wstring& message);
  bool sendRequest(void* curl, std::FILE* file, uint64_t fileSize, const std::string& head,
                   const std::string& part, const std::string& trailer);
  bool judgeReply(const std::string& reply);

  std::string userName_;
  std::string auth_;
  std::string devKey_;
  std::string boundary_;
  std::atomic<double> progress_{0};
  std::atomic<bool> die_{false};
  std::atomic<bool> aborted_{false};
};
