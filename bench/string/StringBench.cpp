// Conversion speed of String against ICU and against a plain memcpy of the same output bytes,
// on the same inputs in the same run. Arguments: input mix (0 ASCII, 1 mixed Latin, Cyrillic
// and CJK, 2 emoji-heavy) and UTF-8 input size in KiB. Items processed are code points.
//
// ratios.py beside this file turns the JSON output into a ratio table.

#include <benchmark/benchmark.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/String.h"
#include "common/Utf16.h"
#include "common/Utf8.h"

namespace {

using qz::common::String;
namespace utf = qz::common::utf;

enum Mix { kAscii = 0, kMixed = 1, kEmoji = 2 };

struct Input {
    std::string utf8;
    std::vector<UChar> utf16;
    std::vector<UChar32> utf32;
};

std::string MakeUtf8(Mix mix, size_t bytes) {
    static const std::vector<std::string> kAsciiWords = {
        "the",   "quick",  "brown", "fox",    "jumps",  "over", "lazy",    "dog",
        "Level", "saved,", "42",    "player", "score:", "(ok)", "network", "traffic"};
    static const std::vector<std::string> kMixedWords = {
        "Grüße", "München", "café", "naïve", "Ærø",    "Съешь", "же",  "ещё",   "этих", "мягких",
        "булок", "我能",    "吞下", "玻璃",  "而不伤", "身体",  "the", "level", "2026"};
    static const std::vector<std::string> kEmojiWords = {"😀", "😃😄", "🎉🚀", "🌍",      "🍕🍔🍟",
                                                         "👍", "ok", "🐉🐲", "❤️", "🔥🔥"};
    const std::vector<std::string>& words =
        mix == kAscii ? kAsciiWords : (mix == kMixed ? kMixedWords : kEmojiWords);
    std::mt19937 random(static_cast<unsigned int>(mix) * 1000 + static_cast<unsigned int>(bytes));
    std::string text;
    for (;;) {
        const std::string& word = words[random() % words.size()];
        if (text.size() + word.size() + 1 > bytes) {
            break;
        }
        text += word;
        text += ' ';
    }
    text.append(bytes - text.size(), '.');
    return text;
}

const Input& GetInput(const benchmark::State& state) {
    static std::map<std::pair<int64_t, int64_t>, Input> inputs;
    const auto key = std::make_pair(state.range(0), state.range(1));
    auto found = inputs.find(key);
    if (found != inputs.end()) {
        return found->second;
    }
    Input input;
    input.utf8 = MakeUtf8(static_cast<Mix>(key.first), static_cast<size_t>(key.second) * 1024);
    String text(input.utf8);
    for (unsigned int i = 0; i < text.GetLength(); ++i) {
        input.utf32.push_back(static_cast<UChar32>(text.GetAt(i)));
    }
    const unsigned short* units = text.GetUtf16();
    for (size_t i = 0; units[i] != 0; ++i) {
        input.utf16.push_back(units[i]);
    }
    return inputs.emplace(key, std::move(input)).first->second;
}

int32_t Size(size_t size) {
    return static_cast<int32_t>(size);
}

void Check(bool ok, benchmark::State& state) {
    if (!ok) {
        state.SkipWithError("conversion failed");
    }
}

// Times `step`, keeping its result and everything it wrote from being optimised away. Items
// processed are the input's code points.
template <typename Step>
void Measure(benchmark::State& state, const Input& input, Step step) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(step());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(input.utf32.size()));
}

// Runs an ICU whole-string converter, which takes (dest, capacity, &length, source,
// sourceLength, &error), into `out` and returns the length it reports.
template <typename Converter, typename Out, typename In>
int32_t IcuConvert(benchmark::State& state, Converter convert, std::vector<Out>& out, const In* in,
                   int32_t inLength) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = 0;
    convert(out.data(), Size(out.size()), &length, in, inLength, &error);
    Check(U_SUCCESS(error), state);
    return length;
}

// Copies `size` elements with memcpy: the speed limit for writing that output.
template <typename T>
void MeasureMemcpy(benchmark::State& state, const Input& input, const T* data, size_t size) {
    std::vector<T> out(size);
    Measure(state, input, [&] { return std::memcpy(out.data(), data, size * sizeof(T)); });
}

// ---- UTF-8 and UTF-16 to code points ----

void BM_Utf8Decode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text;
    Measure(state, input, [&] {
        Check(text.SetUtf8(input.utf8.data(), static_cast<unsigned int>(input.utf8.size())), state);
        return text.GetAt(0);
    });
}

void BM_Utf16Decode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned short* units = reinterpret_cast<const unsigned short*>(input.utf16.data());
    String text;
    Measure(state, input, [&] {
        Check(text.SetUtf16(units, static_cast<unsigned int>(input.utf16.size())), state);
        return text.GetAt(0);
    });
}

void BM_Utf8Decode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<unsigned int> out(input.utf8.size());
    Measure(state, input, [&] {
        return utf::DecodeUtf8(input.utf8.data(), input.utf8.size(), out.data(),
                               utf::Kernel::kPortable);
    });
}

void BM_Utf16Decode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned short* units = reinterpret_cast<const unsigned short*>(input.utf16.data());
    std::vector<unsigned int> out(input.utf16.size());
    Measure(state, input, [&] {
        return utf::DecodeUtf16(units, input.utf16.size(), out.data(), utf::Kernel::kPortable);
    });
}

void BM_Utf8Decode_IcuFromUTF8(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf8.size() + 1);
    Measure(state, input, [&] {
        return IcuConvert(state, u_strFromUTF8, out, input.utf8.data(), Size(input.utf8.size()));
    });
}

void BM_Utf8Decode_IcuFromUTF8ToUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> middle(input.utf8.size() + 1);
    std::vector<UChar32> out(input.utf8.size() + 1);
    Measure(state, input, [&] {
        const int32_t units =
            IcuConvert(state, u_strFromUTF8, middle, input.utf8.data(), Size(input.utf8.size()));
        return IcuConvert(state, u_strToUTF32, out, middle.data(), units);
    });
}

void BM_Utf16Decode_IcuToUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar32> out(input.utf16.size() + 1);
    Measure(state, input, [&] {
        return IcuConvert(state, u_strToUTF32, out, input.utf16.data(), Size(input.utf16.size()));
    });
}

// Decodes with one of ICU's per-code-point macros, wrapped in `next(units, i, length, c)`.
template <typename Unit, typename Next>
void MeasureIcuNext(benchmark::State& state, const Input& input, const Unit* units, size_t size,
                    Next next) {
    std::vector<UChar32> out(size);
    const int32_t length = Size(size);
    Measure(state, input, [&] {
        int32_t i = 0;
        size_t count = 0;
        while (i < length) {
            UChar32 c;
            next(units, i, length, c);
            out[count++] = c;
        }
        return count;
    });
}

void BM_Utf8Decode_IcuU8Next(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureIcuNext(
        state, input, reinterpret_cast<const uint8_t*>(input.utf8.data()), input.utf8.size(),
        [](const uint8_t* s, int32_t& i, int32_t length, UChar32& c) { U8_NEXT(s, i, length, c); });
}

void BM_Utf16Decode_IcuU16Next(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureIcuNext(
        state, input, input.utf16.data(), input.utf16.size(),
        [](const UChar* s, int32_t& i, int32_t length, UChar32& c) { U16_NEXT(s, i, length, c); });
}

void BM_Utf8Decode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureMemcpy(state, input, input.utf32.data(), input.utf32.size());
}

void BM_Utf16Decode_Memcpy(benchmark::State& state) {
    BM_Utf8Decode_Memcpy(state);
}

// ---- code points to UTF-8 and UTF-16 ----

String MakeString(const Input& input) {
    String text;
    text.SetUtf32(reinterpret_cast<const unsigned int*>(input.utf32.data()),
                  static_cast<unsigned int>(input.utf32.size()));
    return text;
}

void BM_Utf8Encode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text = MakeString(input);
    Measure(state, input, [&] { return text.GetUtf8(); });
}

void BM_Utf16Encode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text = MakeString(input);
    Measure(state, input, [&] { return text.GetUtf16(); });
}

// The portable kernel through the same steps as String: the prefix of one-unit code points,
// the exact size of the rest, then the rest.
template <typename Unit, typename Prefix, typename Length, typename Encode>
void MeasurePortableEncode(benchmark::State& state, const Input& input, size_t outSize,
                           Prefix prefix, Length length, Encode encode) {
    const unsigned int* in = reinterpret_cast<const unsigned int*>(input.utf32.data());
    const size_t count = input.utf32.size();
    std::vector<Unit> out(outSize);
    Measure(state, input, [&] {
        const size_t done = prefix(in, count, out.data(), utf::Kernel::kPortable);
        if (done < count) {
            benchmark::DoNotOptimize(length(in + done, count - done));
            encode(in + done, count - done, out.data() + done, utf::Kernel::kPortable);
        }
        return done;
    });
}

void BM_Utf8Encode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasurePortableEncode<char>(state, input, input.utf8.size() + utf::kUtf8EncodeSlack,
                                utf::EncodeUtf8AsciiPrefix, utf::Utf8Length, utf::EncodeUtf8);
}

void BM_Utf16Encode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasurePortableEncode<unsigned short>(state, input, input.utf16.size() + utf::kUtf16EncodeSlack,
                                          utf::EncodeUtf16BmpPrefix, utf::Utf16Length,
                                          utf::EncodeUtf16);
}

// Encodes with one of ICU's per-code-point macros, wrapped in `append(out, length, capacity,
// c, error)`.
template <typename Unit, typename Append>
void MeasureIcuAppend(benchmark::State& state, const Input& input, size_t outSize, Append append) {
    std::vector<Unit> out(outSize + 1);
    const int32_t capacity = Size(out.size());
    Measure(state, input, [&] {
        int32_t length = 0;
        UBool error = false;
        for (const UChar32 c : input.utf32) {
            append(out.data(), length, capacity, c, error);
        }
        benchmark::DoNotOptimize(error);
        return length;
    });
}

void BM_Utf8Encode_IcuU8Append(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureIcuAppend<uint8_t>(state, input, input.utf8.size(),
                              [](uint8_t* s, int32_t& i, int32_t capacity, UChar32 c,
                                 UBool& error) { U8_APPEND(s, i, capacity, c, error); });
}

void BM_Utf16Encode_IcuU16Append(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureIcuAppend<UChar>(state, input, input.utf16.size(),
                            [](UChar* s, int32_t& i, int32_t capacity, UChar32 c, UBool& error) {
                                U16_APPEND(s, i, capacity, c, error);
                            });
}

void BM_Utf8Encode_IcuFromUTF32ToUTF8(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> middle(input.utf16.size() + 1);
    std::vector<char> out(input.utf8.size() + 1);
    Measure(state, input, [&] {
        const int32_t units =
            IcuConvert(state, u_strFromUTF32, middle, input.utf32.data(), Size(input.utf32.size()));
        return IcuConvert(state, u_strToUTF8, out, middle.data(), units);
    });
}

void BM_Utf16Encode_IcuFromUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf16.size() + 1);
    Measure(state, input, [&] {
        return IcuConvert(state, u_strFromUTF32, out, input.utf32.data(), Size(input.utf32.size()));
    });
}

void BM_Utf8Encode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureMemcpy(state, input, input.utf8.data(), input.utf8.size());
}

void BM_Utf16Encode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    MeasureMemcpy(state, input, input.utf16.data(), input.utf16.size());
}

void Inputs(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"mix", "KiB"});
    for (const int mix : {kAscii, kMixed, kEmoji}) {
        for (const int kib : {64, 1024}) {
            bench->Args({mix, kib});
        }
    }
}

}  // namespace

BENCHMARK(BM_Utf8Decode_String)->Apply(Inputs);
BENCHMARK(BM_Utf8Decode_Portable)->Apply(Inputs);
BENCHMARK(BM_Utf8Decode_IcuFromUTF8)->Apply(Inputs);
BENCHMARK(BM_Utf8Decode_IcuFromUTF8ToUTF32)->Apply(Inputs);
BENCHMARK(BM_Utf8Decode_IcuU8Next)->Apply(Inputs);
BENCHMARK(BM_Utf8Decode_Memcpy)->Apply(Inputs);
BENCHMARK(BM_Utf16Decode_String)->Apply(Inputs);
BENCHMARK(BM_Utf16Decode_Portable)->Apply(Inputs);
BENCHMARK(BM_Utf16Decode_IcuToUTF32)->Apply(Inputs);
BENCHMARK(BM_Utf16Decode_IcuU16Next)->Apply(Inputs);
BENCHMARK(BM_Utf16Decode_Memcpy)->Apply(Inputs);
BENCHMARK(BM_Utf8Encode_String)->Apply(Inputs);
BENCHMARK(BM_Utf8Encode_Portable)->Apply(Inputs);
BENCHMARK(BM_Utf8Encode_IcuU8Append)->Apply(Inputs);
BENCHMARK(BM_Utf8Encode_IcuFromUTF32ToUTF8)->Apply(Inputs);
BENCHMARK(BM_Utf8Encode_Memcpy)->Apply(Inputs);
BENCHMARK(BM_Utf16Encode_String)->Apply(Inputs);
BENCHMARK(BM_Utf16Encode_Portable)->Apply(Inputs);
BENCHMARK(BM_Utf16Encode_IcuFromUTF32)->Apply(Inputs);
BENCHMARK(BM_Utf16Encode_IcuU16Append)->Apply(Inputs);
BENCHMARK(BM_Utf16Encode_Memcpy)->Apply(Inputs);

BENCHMARK_MAIN();
