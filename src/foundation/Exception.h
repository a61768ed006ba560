#pragma once
// The program's failures. Every exception carries the complete text to show, looked up
// and formatted by the thrower; catchers show it unchanged. An empty text means the
// user has already been told.
#include <cstdint>
#include <string>

class Exception {
 public:
  explicit Exception(std::wstring message = std::wstring()) : message(std::move(message)) {}
  Exception(const Exception&) = default;
  Exception& operator=(const Exception&) = default;
  virtual ~Exception() = default;

  std::wstring message;
};

#define PATHSCOPE_EXCEPTION(Name)                                          \
  class Name : public Exception {                                          \
   public:                                                                 \
    explicit Name(std::wstring message) : Exception(std::move(message)) {} \
    Name(const Name&) = default;                                           \
    Name& operator=(const Name&) = default;                                \
  }

PATHSCOPE_EXCEPTION(SystemException);
PATHSCOPE_EXCEPTION(IOException);
PATHSCOPE_EXCEPTION(ImageListViewException);
PATHSCOPE_EXCEPTION(VideoArchiveException);
PATHSCOPE_EXCEPTION(FirmInfoException);
PATHSCOPE_EXCEPTION(WaveAudioException);

#undef PATHSCOPE_EXCEPTION

class ImageException : public Exception {
 public:
  ImageException() = default;
  explicit ImageException(std::wstring message) : Exception(std::move(message)) {}
  explicit ImageException(const wchar_t* message) : Exception(message ? message : L"") {}
  ImageException(const ImageException&) = default;
  ImageException& operator=(const ImageException&) = default;
};

class WindowException : public Exception {
 public:
  explicit WindowException(std::wstring message) : Exception(std::move(message)) {}
  // The system's text for a Windows error code (as GetLastError returns it), or
  // "Windowsのエラーです。エラーコード:%d" with the code when the system has none.
  explicit WindowException(uint32_t errorCode);
  WindowException(const WindowException&) = default;
  WindowException& operator=(const WindowException&) = default;
};

// Thrown when the open folder or recording has vanished from the disk, after the user
// has been told. Deliberately outside the family: it carries no text to show.
class DataMissingException {};
