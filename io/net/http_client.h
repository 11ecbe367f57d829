#pragma once
// The engine's HTTP client for the vendor's web server (release list and
// crash reports). The server speaks HTTP/1.0; every request has a time-out.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The network-worker step of engine start and end (library set-up).
int NetInit();
void NetEnd();

// The vendor server's base address, e.g. "http://host/path/"; empty turns
// the vendor requests off (they fail at once). Until set (and after a null
// base), the environment variable QV_SERVER_BASE gives it.
void NetSetServerBase(const wchar_t* base);
// The base with a trailing "/" (empty when off).
std::string NetGetServerBase();

// GET: 0 with the reply body (at most maxBytes kept; a longer body is cut),
// or -120 for no server, a failed connection or an HTTP error status, -20
// when the time ran out.
int HttpGet(const std::string& url, int32_t timeoutMs, size_t maxBytes, std::string& body);
// POST of an "application/x-www-form-urlencoded" body; codes as HttpGet.
int HttpPostForm(const std::string& url, const std::string& form, int32_t timeoutMs, std::string& reply);

// POST of a form that keeps whatever the server answered, whatever its
// status: 0 with the body (at most 64 KiB), -120 when no answer came (with
// the library's description of why), -20 when the time ran out, -99 when
// the cancel test said so (asked several times a second).
int HttpPostFormAnswer(const std::string& url, const std::string& form, int32_t timeoutMs, std::string& reply,
                       std::string& failure, const std::function<bool()>& cancelled);

// Form encoding: letters, digits and "-_.~" kept, blanks as "+", the rest
// as "%XX".
std::string UrlEncode(const std::string& text);
