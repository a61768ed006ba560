#include "export/PendingFiles.h"

#include "export/ExportFailure.h"
#include "export/ExportFiles.h"
#include "foundation/TextIds.h"

PendingFiles::~PendingFiles() {
  for (const std::wstring& path : finals_) exportfiles::Remove(PartialName(path));
  for (const std::wstring& path : renamed_) exportfiles::Remove(path);
}

void PendingFiles::Keep() {
  for (size_t i = finals_.size(); i-- > 0;) {
    if (!exportfiles::Rename(PartialName(finals_[i]), finals_[i])) ThrowExportFailure(kTextExportRenameFailed);
    renamed_.push_back(finals_[i]);
  }
  renamed_.clear();
  finals_.clear();
}
