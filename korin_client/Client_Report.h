// Client_Report.h - the client library's messages, English or Japanese, on standard error.
#pragma once

#include <string>
#include <vector>

enum class Korin_Message {
  No_Path,              // fatal
  Not_Found,            // fatal; the name
  Cannot_Execute,       // fatal; the server's name
  No_Free_Instance,     // fatal; the server's name, the number of instances
  Init_Failed,          // fatal
  Server_Older_Count,   // warning; server name, library version
  Server_Older,         // warning; server name, server version, library version
  Library_Older,        // warning; library version, server name, server version
  Open_Failed,          // fatal
  Communication_Failed, // fatal
  Window_Open_Failed,   // warning; window number
  Unmap_Failed,         // fatal kind, no exit; system error code
  Window_Closed,        // fatal
  Launch_Failed,        // fatal; server name
  Ended_Abnormally,     // fatal
  Buffer_Overflow,      // warning kind, then exit; the request text
};

// True when the first set of LC_ALL, LC_MESSAGES and LANG names Japanese.
bool KRjapanese_locale();

// The message text with its values, in the language of the connection.
std::string KRmessage_text(Korin_Message message, const std::vector<std::string>& values);

// Writes the message on standard error (at most 255 bytes, cut at a character boundary).
// After a fatal one the connection is ended when a window is open. Never ends the program.
void KRreport(bool fatal, Korin_Message message, const std::vector<std::string>& values = {});

// Reports a fatal message, unmaps every block and ends the program with exit code 1.
[[noreturn]] void KRfatal(Korin_Message message, const std::vector<std::string>& values = {});
