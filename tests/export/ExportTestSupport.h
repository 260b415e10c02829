#pragma once
#include <memory>
#include <vector>
#include "directory/AddressStore.h"
#include "tests/support/MessageRecorder.h"
#include "base/Strings.h"

// The 27 bytes every export file starts with.
extern const ByteString kExportHeader;

// Views of the arguments: append it within the same expression.
NewEntry MakeEntry(const WideString& typeText, const WideString& userName, const WideString& email,
                   const WideString& distinguishedName);
// Appends plain ASCII entries numbered from first; NumberedLine(k) is entry k's file line.
void AppendNumbered(AddressStore& store, int first, int count);
ByteString NumberedLine(int k);

// Runs the export with the dialog replaced by a chooser that answers path.
void RunExport(AddressStore& store, HWND window, const WideString& path);
// RunExport, then dispatches what is still queued so that recorder holds every status
// text of the run.
void ExportTo(AddressStore& store, MessageRecorder& recorder, const WideString& path);

// The file's lines after the header, each with its CR LF; empty when the header is missing.
std::vector<ByteString> EntryLines(const ByteString& file);
