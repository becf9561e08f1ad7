// The functions of the Encrypt/Decrypt and Batch Insert pages as commands on
// the document: each reads its source (the selection or the whole text),
// shows the progress window, writes the result back as one undo step and
// marks the document modified.
#pragma once

#include <string>

#include "functions/BatchInsert.h"
#include "functions/TextFunctionHost.h"

namespace ql {

enum class DigitBase { Binary, Hex };

// `selected`: the selection is the source and takes the result; else the
// whole text does.
void Rot13Command(TextFunctionHost& host, bool selected);
void BackwardCommand(TextFunctionHost& host, bool selected);
void DigitTextCommand(TextFunctionHost& host, DigitBase base, bool selected, bool encrypt);
void BitShiftCommand(TextFunctionHost& host, bool selected, bool encrypt, const std::string& order);
void BatchInsertCommand(TextFunctionHost& host, const BatchOptions& options);

// Compares the document with the text it had before a function. When they
// differ (also when one merely continues the other) the caret goes to the
// place and the user chooses: keep the result (true) or get `before` back.
bool CheckFunctionResult(TextFunctionHost& host, const std::string& before);

// The 1-based position of the first byte 0 in a result, or 0 when none: a
// document cannot hold it, so such a result is refused.
std::size_t FirstNul(const std::string& text);

}  // namespace ql
