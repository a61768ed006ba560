// The pictures as the program finds them: resources of its own executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ArtManifest.h"
#include "foundation/Exception.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/FindResourceData_win.h"
#include "toolkit/ImageDecoding.h"

namespace {

const wchar_t* const kHtmlType = MAKEINTRESOURCEW(23);

// Widgets load their pictures as ("IMAGE", id); the help page's pictures are HTML
// resources that the browser fetches by number.
void ExpectPictureResource(const ArtEntry& entry) {
  const wchar_t* type = entry.type == "IMAGE" ? L"IMAGE" : kHtmlType;
  size_t size = 0;
  const void* data = nullptr;
  ASSERT_NO_THROW(data = FindResourceData(type, MAKEINTRESOURCEW(entry.id), &size));
  ExpectRenderedPicture(entry, static_cast<const uint8_t*>(data), size);
  if (entry.type == "IMAGE") {
    AlphaImage image(entry.id);  // what a widget builds from it
    EXPECT_EQ(image.Width(), entry.width);
  }
}

void ExpectIconResource(const ArtEntry& entry) {
  for (int side : {16, 32, 48}) {
    SCOPED_TRACE("size " + std::to_string(side));
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.id),
                                               IMAGE_ICON, side, side, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, side);
    EXPECT_EQ(colour.bmHeight, side);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(ArtResources, EveryManifestPictureIsInTheExecutable) {
  std::vector<ArtEntry> entries = ReadArtManifest(PATHSCOPE_ART_MANIFEST);
  ASSERT_FALSE(entries.empty());
  for (const ArtEntry& entry : entries) {
    SCOPED_TRACE("picture " + std::to_string(entry.id) + " " + entry.type);
    if (entry.type == "ICON") {
      ExpectIconResource(entry);
    } else {
      ExpectPictureResource(entry);
    }
  }
}

}  // namespace
