#include "export/excel_file_v2.h"

#include <algorithm>
#include <bit>

#include "export/output_file.h"

namespace quillet {

namespace {

void PutWord(char* at, std::uint16_t value) {
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

template <std::size_t N>
std::string_view Bytes(const std::array<char, N>& record) {
    return {record.data(), N};
}

constexpr std::uint16_t kBofRecord = 0x0009;
constexpr std::uint16_t kEofRecord = 0x000A;
constexpr std::uint16_t kCodePageRecord = 0x0042;
constexpr std::uint16_t kLabelRecord = 0x0004;
constexpr std::uint16_t kIntegerRecord = 0x0002;
constexpr std::uint16_t kNumberRecord = 0x0003;
constexpr std::uint16_t kBiffVersion = 2;
constexpr std::uint16_t kWorksheet = 0x0010;

// Offsets inside a cell record: number, body length, row, column, three attribute bytes.
constexpr std::size_t kRowAt = 4;
constexpr std::size_t kColumnAt = 6;
constexpr std::size_t kCellHeadLength = 11;

}  // namespace

ExcelFileV2::ExcelFileV2() {
    PutWord(&bof_[0], kBofRecord);
    PutWord(&bof_[2], 4);
    PutWord(&bof_[4], kBiffVersion);
    PutWord(&bof_[6], kWorksheet);

    PutWord(&codePage_[0], kCodePageRecord);
    PutWord(&codePage_[2], 2);

    PutWord(&eof_[0], kEofRecord);
    PutWord(&eof_[2], 0);

    PutWord(&labelHead_[0], kLabelRecord);
    PutWord(&integer_[0], kIntegerRecord);
    PutWord(&integer_[2], 9);
    PutWord(&number_[0], kNumberRecord);
    PutWord(&number_[2], 15);
}

ExcelFileV2::~ExcelFileV2() = default;

void ExcelFileV2::OpenFile(const std::string& FileName, int CodePage, CommitQueue* queue) {
    FileNumber = std::make_unique<OutputFile>(FileName, queue);
    PutWord(&codePage_[4], static_cast<std::uint16_t>(CodePage));
    FileNumber->Write(Bytes(bof_));
    FileNumber->Write(Bytes(codePage_));
}

void ExcelFileV2::CloseFile() {
    FileNumber->Write(Bytes(eof_));
    FileNumber->Commit();
    FileNumber.reset();
}

void ExcelFileV2::SetPosition(char* record, int row, int column) {
    PutWord(record + kRowAt, static_cast<std::uint16_t>(row - 1));
    PutWord(record + kColumnAt, static_cast<std::uint16_t>(column - 1));
}

void ExcelFileV2::EWriteString(int ExcelRow, int ExcelCol, std::string_view Text) {
    const std::size_t n = std::min(Text.size(), kMaxTextLength);
    PutWord(&labelHead_[2], static_cast<std::uint16_t>(n + 8));
    SetPosition(labelHead_.data(), ExcelRow, ExcelCol);
    labelHead_[kCellHeadLength] = static_cast<char>(n);
    FileNumber->Write(Bytes(labelHead_));
    FileNumber->Write(Text.substr(0, n));
}

void ExcelFileV2::EWriteInteger(int ExcelRow, int ExcelCol, std::uint16_t Value) {
    SetPosition(integer_.data(), ExcelRow, ExcelCol);
    PutWord(&integer_[kCellHeadLength], Value);
    FileNumber->Write(Bytes(integer_));
}

void ExcelFileV2::EWriteDouble(int ExcelRow, int ExcelCol, double Value) {
    SetPosition(number_.data(), ExcelRow, ExcelCol);
    const auto bits = std::bit_cast<std::uint64_t>(Value);
    for (std::size_t i = 0; i < 8; ++i) number_[kCellHeadLength + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    FileNumber->Write(Bytes(number_));
}

}  // namespace quillet
