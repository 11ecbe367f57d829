#pragma once
// The incoming file-transfer server: a phone or another computer on the
// local network finds us by UDP discovery and pushes a video and a data log
// over TCP (framing in transfer_protocol.h). The files land in the
// program's folder under the user's documents (transfer_files.h). Two
// threads serve it: the discovery responder and the listener, which
// receives one push at a time.

// Stops a running server, then opens the discovery socket and the listener
// and starts both threads; clears the received paths, status and progress
// 0. On failure logs why, stops what was started and sets the status to
// -120 (-24 when a thread cannot be made).
void TransferStart();
// Stops both threads (1000 ms each, then -20 is recorded and the thread is
// left to end on its own), closes the sockets, status 0. Harmless when
// nothing runs.
void TransferEnd();
// Percent of the file being received; 999.9 once the whole push is stored.
float TransferGetProgress();
// The status as text, in one buffer that the next call overwrites.
const wchar_t* TransferGetStatusText();
// Full paths of the received files (empty until a push is complete), each
// in one buffer that the next call overwrites.
const wchar_t* TransferGetLogFile();
const wchar_t* TransferGetVideoFile();

// Status codes beside the negative error codes.
enum TransferStatus : int {
  kTransferInitializing = 0,
  kTransferWaiting = 1,
  kTransferConnecting = 2,
  kTransferReceiving = 3,
  kTransferInterrupted = 4, // the last push broke off; nothing kept; waiting again
  kTransferNoSpace = 5,     // the last push did not fit; refused; waiting again
  kTransferComplete = 999,
};
int TransferGetStatus();

// The ports: discovery on the base, the listener on the first of base to
// base + 9 that binds. 22352 unless QV_TRANSFER_PORT_BASE says otherwise;
// 0 takes any free port for both (tests). -1 returns to the default.
// Takes effect at the next TransferStart.
void TransferSetPortBase(int base);
// The ports in use (0 when the server is not running).
int TransferGetDiscoveryPort();
int TransferGetListenPort();
