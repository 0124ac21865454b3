#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillet {

class CommitQueue;
class OutputFile;

// Writes one worksheet as a bare BIFF2 record stream: BOF, CODEPAGE, the cells in the order
// they are asked for, EOF. Rows and columns are counted from 1 here and stored from 0.
// The bytes go to a temporary file that CloseFile renames over FileName, so a writer that
// fails or is dropped before CloseFile leaves no file behind and any earlier one untouched.
// Failures throw ExportError naming FileName.
class ExcelFileV2 {
public:
    // The CODEPAGE record's value when the caller names none: Windows Latin 1.
    static constexpr int kWindowsLatin1 = 1252;
    // A LABEL's length is one byte.
    static constexpr std::size_t kMaxTextLength = 255;

    ExcelFileV2();
    ExcelFileV2(const ExcelFileV2&) = delete;
    ExcelFileV2& operator=(const ExcelFileV2&) = delete;
    ~ExcelFileV2();

    // CodePage names the single-byte code page of the texts the cells will carry; a queue
    // takes the complete file at CloseFile.
    void OpenFile(const std::string& FileName, int CodePage = kWindowsLatin1, CommitQueue* queue = nullptr);
    void CloseFile();

    // A text longer than 255 characters is cut to 255.
    void EWriteString(int ExcelRow, int ExcelCol, std::string_view Text);
    // INTEGER cells hold 0 to 65535; other whole numbers belong in EWriteDouble.
    void EWriteInteger(int ExcelRow, int ExcelCol, std::uint16_t Value);
    void EWriteDouble(int ExcelRow, int ExcelCol, double Value);

private:
    void SetPosition(char* record, int row, int column);

    std::unique_ptr<OutputFile> FileNumber;

    // Every record prepared once with its constant fields; a write fills in the rest.
    std::array<char, 8> bof_{};
    std::array<char, 6> codePage_{};
    std::array<char, 4> eof_{};
    std::array<char, 12> labelHead_{};
    std::array<char, 13> integer_{};
    std::array<char, 19> number_{};
};

}  // namespace quillet
