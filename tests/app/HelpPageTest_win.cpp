// The help page written out as files: the page and its pictures, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"
#include "app/HelpPage_win.h"
#include "app/ResourceIds.h"
#include "foundation/Exception.h"
#include "toolkit/FindResourceData_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Resource(WORD id) {
  size_t size = 0;
  const void* data = FindResourceData(RT_HTML, MAKEINTRESOURCEW(id), &size);
  return std::string(static_cast<const char*>(data), size);
}

std::wstring FromShiftJis(const std::string& bytes) {
  const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  return text;
}

// The file names the page's pictures are taken from (every src="...").
std::set<std::string> PictureNames(const std::string& page) {
  std::set<std::string> names;
  const std::string key = "src=\"";
  for (size_t at = page.find(key); at != std::string::npos; at = page.find(key, at)) {
    at += key.size();
    names.insert(page.substr(at, page.find('"', at) - at));
  }
  return names;
}

std::wstring Folder(const TempDir& dir) { return dir.path().wstring() + L"\\help\\"; }

TEST(WriteHelpPage, WritesThePageAndItsPicturesAsTheResourcesHoldThem) {
  TempDir dir;
  const std::wstring page = WriteHelpPage(Folder(dir));
  EXPECT_EQ(page, Folder(dir) + L"index.html");
  const std::string html = ReadBytes(page);
  EXPECT_EQ(html, Resource(IDH_HELP_PAGE));
  const std::vector<WORD> pictures = {22101, 22102, 22103, 22104, 22105, 22106,
                                      22107, 22108, 22110, 22111, 22112, 22113};
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(Folder(dir))) written.insert(entry.path().filename().string());
  for (WORD id : pictures) {
    const std::string name = std::to_string(id) + ".png";
    EXPECT_EQ(ReadBytes(fs::path(Folder(dir)) / name), Resource(id)) << name;
    EXPECT_EQ(written.count(name), 1u) << name;
  }
  EXPECT_EQ(written.size(), pictures.size() + 1);
  // Every picture the page shows is a file beside it: no resource addresses.
  for (const std::string& name : PictureNames(html)) EXPECT_EQ(written.count(name), 1u) << name;
  EXPECT_EQ(html.find("res:"), std::string::npos);
}

TEST(WriteHelpPage, PageIsShiftJisWithEveryLine) {
  const std::string bytes = Resource(IDH_HELP_PAGE);
  const std::wstring page = FromShiftJis(bytes);
  ASSERT_FALSE(page.empty()) << "not valid Shift_JIS";
  EXPECT_NE(page.find(L"charset=Shift_JIS"), std::wstring::npos);
  const wchar_t* texts[] = {
      L"<title>Pathscope 操作方法</title>", L"<h1>Pathscope 操作方法</h1>",
      L"記録日時を表示します。",
      L"クリックすると音量を標準に戻します。", L"音量を調節します。",
      L"クリックすると映像の明るさを標準に戻します。", L"映像の明るさを調節します。", L"データを開きます。",
      L"再生/一時停止します。", L"停止します。", L"1つ前の日付へ戻ります。", L"1つ先の日付へ進みます。",
      L"前のファイルの画像データを開きます。", L"次のファイルの画像データを開きます。",
      L"ドラッグすると再生位置を移動します。", L"スイッチを押した位置を表示します。",
      L"現在の再生位置を示します。", L"G値の合成値を表示します。",
      L"Copyright (C) 2026 The Pathscope Project",
  };
  for (const wchar_t* text : texts) EXPECT_NE(page.find(text), std::wstring::npos) << testing::PrintToString(std::wstring(text));
  // Four sections and the closing notice, each after a rule, in order of their pictures.
  size_t at = 0;
  for (const wchar_t* picture : {L"22110.png", L"22111.png", L"22112.png", L"22113.png", L"class=\"rights\""}) {
    const size_t found = page.find(picture, at);
    ASSERT_NE(found, std::wstring::npos) << testing::PrintToString(std::wstring(picture));
    at = found;
  }
  EXPECT_EQ(page.find(L"<hr>", at), std::wstring::npos);  // nothing after the notice's rule
}

TEST(WriteHelpPage, WritingAgainReplacesTheFiles) {
  TempDir dir;
  const std::wstring page = WriteHelpPage(Folder(dir));
  { std::ofstream(fs::path(page), std::ios::binary | std::ios::trunc) << "stale"; }
  EXPECT_EQ(WriteHelpPage(Folder(dir)), page);
  EXPECT_EQ(ReadBytes(page), Resource(IDH_HELP_PAGE));
}

// A browser still showing the page (or a second viewer's) holds its files open for
// reading: writing the page again must not fail on them.
TEST(WriteHelpPage, FilesHeldOpenByAReaderDoNotStopTheWrite) {
  const struct {
    const char* name;
    DWORD share;  // what the reader lets others do
    bool stale;   // the held files differ from the resources
  } cases[] = {
      {"page and picture as written, read without sharing writes", FILE_SHARE_READ, false},
      {"stale page and picture, read sharing writes", FILE_SHARE_READ | FILE_SHARE_WRITE, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::wstring page = WriteHelpPage(Folder(dir));
    const std::wstring picture = Folder(dir) + L"22101.png";
    if (c.stale) {
      for (const std::wstring& file : {page, picture}) std::ofstream(fs::path(file), std::ios::binary) << "stale";
    }
    std::vector<ScopedKernelHandle> readers;
    for (const std::wstring& file : {page, picture}) {
      const HANDLE raw = CreateFileW(file.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(raw, INVALID_HANDLE_VALUE);
      readers.emplace_back(raw);
    }
    try {
      EXPECT_EQ(WriteHelpPage(Folder(dir)), page);
    } catch (const WindowException& e) {
      ADD_FAILURE() << testing::PrintToString(e.message);
    }
    readers.clear();
    EXPECT_EQ(ReadBytes(page), Resource(IDH_HELP_PAGE));
    EXPECT_EQ(ReadBytes(picture), Resource(22101));
  }
}

TEST(WriteHelpPage, FailingToWriteThrowsWithTheSystemText) {
  const struct {
    const char* name;
    const char* blocker;  // a file or folder that stands in the way, inside the temp folder
    bool blockerIsFolder;
  } cases[] = {
      {"a file where the folder should be", "help", false},
      {"a folder where a picture should be", "help\\22101.png", true},
      {"a folder where the page should be", "help\\index.html", true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const fs::path blocker = dir.path() / c.blocker;
    fs::create_directories(blocker.parent_path());
    if (c.blockerIsFolder) fs::create_directory(blocker);
    else std::ofstream(blocker) << "x";
    try {
      WriteHelpPage(Folder(dir));
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const WindowException& e) {
      EXPECT_FALSE(e.message.empty()) << c.name;
    }
  }
}

}  // namespace
