#ifndef FUZZING_H
#define FUZZING_H

// What the fuzz targets share. Each target is one source that defines
// LLVMFuzzerTestOneInput, taking one input as libFuzzer gives it, and
// fuzzSeeds, the inputs its corpus was first made of, taken from the
// tests' own inputs. A target aborts, through check, when the program
// gives a wrong answer that no sanitizer would see.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The target's first inputs. LLVMFuzzerInitialize writes them into the
// folder that OFFICER_FUZZ_SEEDS names, then ends the program.
QList<QByteArray> fuzzSeeds();

namespace Fuzzing {

// Ends the program with what went wrong unless ok.
void check(bool ok, const char *what);

// The input cut at its first parts - 1 separator bytes (0xFF, which UTF-8
// and Big5 texts never hold) into parts pieces; the last takes the rest,
// separators and all. Missing pieces are empty.
constexpr char separator = '\xFF';
QList<QByteArray> parts(const uint8_t *data, size_t size, int parts);
QByteArray joined(const QList<QByteArray> &pieces);

// A whole data file made of a short input: an input of a data file's size
// as it is; otherwise blank, with records put into it, each from a byte
// naming its slot (modulo the 150 slots) and the record's bytes after it,
// the last record filled up with zeros.
QByteArray dataImage(const QByteArray &input);
// The input that dataImage makes into these records in these slots.
QByteArray recordsInput(const QList<QPair<int, QByteArray>> &records);

// Officers of every kind the tests use: those of sheetOfficers (a family of
// three, a woman, names a spreadsheet would misread, fields outside the
// editor's ranges, a father in an empty slot), and one with zeros but for
// his names, birth year and portrait.
QList<QByteArray> sampleRecords();

// A folder of the process's own, emptied for each input.
QString emptyFolder();
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace Fuzzing

#endif // FUZZING_H
