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

void Finish(benchmark::State& state, const Input& input) {
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(input.utf32.size()));
}

void Check(bool ok, benchmark::State& state) {
    if (!ok) {
        state.SkipWithError("conversion failed");
    }
}

// ---- UTF-8 to code points ----

void BM_Utf8Decode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text;
    for (auto _ : state) {
        Check(text.SetUtf8(input.utf8.data(), static_cast<unsigned int>(input.utf8.size())), state);
        benchmark::DoNotOptimize(text.GetAt(0));
    }
    Finish(state, input);
}

void BM_Utf8Decode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<unsigned int> out(input.utf8.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(utf::DecodeUtf8(input.utf8.data(), input.utf8.size(), out.data(),
                                                 utf::Kernel::kPortable));
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Decode_IcuFromUTF8(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf8.size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t length = 0;
        u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, input.utf8.data(),
                      static_cast<int32_t>(input.utf8.size()), &error);
        Check(U_SUCCESS(error), state);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Decode_IcuFromUTF8ToUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> middle(input.utf8.size() + 1);
    std::vector<UChar32> out(input.utf8.size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t units = 0;
        int32_t length = 0;
        u_strFromUTF8(middle.data(), static_cast<int32_t>(middle.size()), &units, input.utf8.data(),
                      static_cast<int32_t>(input.utf8.size()), &error);
        u_strToUTF32(out.data(), static_cast<int32_t>(out.size()), &length, middle.data(), units,
                     &error);
        Check(U_SUCCESS(error), state);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Decode_IcuU8Next(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar32> out(input.utf8.size());
    const uint8_t* const bytes = reinterpret_cast<const uint8_t*>(input.utf8.data());
    const int32_t length = static_cast<int32_t>(input.utf8.size());
    for (auto _ : state) {
        int32_t i = 0;
        size_t count = 0;
        while (i < length) {
            UChar32 c;
            U8_NEXT(bytes, i, length, c);
            out[count++] = c;
        }
        benchmark::DoNotOptimize(count);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Decode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar32> out(input.utf32.size());
    for (auto _ : state) {
        std::memcpy(out.data(), input.utf32.data(), input.utf32.size() * sizeof(UChar32));
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

// ---- UTF-16 to code points ----

void BM_Utf16Decode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned short* units = reinterpret_cast<const unsigned short*>(input.utf16.data());
    String text;
    for (auto _ : state) {
        Check(text.SetUtf16(units, static_cast<unsigned int>(input.utf16.size())), state);
        benchmark::DoNotOptimize(text.GetAt(0));
    }
    Finish(state, input);
}

void BM_Utf16Decode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned short* units = reinterpret_cast<const unsigned short*>(input.utf16.data());
    std::vector<unsigned int> out(input.utf16.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            utf::DecodeUtf16(units, input.utf16.size(), out.data(), utf::Kernel::kPortable));
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Decode_IcuToUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar32> out(input.utf16.size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF32(out.data(), static_cast<int32_t>(out.size()), &length, input.utf16.data(),
                     static_cast<int32_t>(input.utf16.size()), &error);
        Check(U_SUCCESS(error), state);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Decode_IcuU16Next(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar32> out(input.utf16.size());
    const UChar* const units = input.utf16.data();
    const int32_t length = static_cast<int32_t>(input.utf16.size());
    for (auto _ : state) {
        int32_t i = 0;
        size_t count = 0;
        while (i < length) {
            UChar32 c;
            U16_NEXT(units, i, length, c);
            out[count++] = c;
        }
        benchmark::DoNotOptimize(count);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Decode_Memcpy(benchmark::State& state) {
    BM_Utf8Decode_Memcpy(state);
}

// ---- code points to UTF-8 ----

String MakeString(const Input& input) {
    String text;
    text.SetUtf32(reinterpret_cast<const unsigned int*>(input.utf32.data()),
                  static_cast<unsigned int>(input.utf32.size()));
    return text;
}

void BM_Utf8Encode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text = MakeString(input);
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.GetUtf8());
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Encode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned int* in = reinterpret_cast<const unsigned int*>(input.utf32.data());
    std::vector<char> out(input.utf8.size() + utf::kUtf8EncodeSlack);
    for (auto _ : state) {
        // Same steps as String: ASCII prefix, exact size of the rest, then the rest.
        const size_t done =
            utf::EncodeUtf8AsciiPrefix(in, input.utf32.size(), out.data(), utf::Kernel::kPortable);
        if (done < input.utf32.size()) {
            benchmark::DoNotOptimize(utf::Utf8Length(in + done, input.utf32.size() - done));
            utf::EncodeUtf8(in + done, input.utf32.size() - done, out.data() + done,
                            utf::Kernel::kPortable);
        }
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Encode_IcuU8Append(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<uint8_t> out(input.utf8.size() + 1);
    const int32_t capacity = static_cast<int32_t>(out.size());
    for (auto _ : state) {
        int32_t length = 0;
        UBool error = false;
        for (const UChar32 c : input.utf32) {
            U8_APPEND(out.data(), length, capacity, c, error);
        }
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(error);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Encode_IcuFromUTF32ToUTF8(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> middle(input.utf16.size() + 1);
    std::vector<char> out(input.utf8.size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t units = 0;
        int32_t length = 0;
        u_strFromUTF32(middle.data(), static_cast<int32_t>(middle.size()), &units,
                       input.utf32.data(), static_cast<int32_t>(input.utf32.size()), &error);
        u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, middle.data(), units,
                    &error);
        Check(U_SUCCESS(error), state);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf8Encode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<char> out(input.utf8.size());
    for (auto _ : state) {
        std::memcpy(out.data(), input.utf8.data(), input.utf8.size());
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

// ---- code points to UTF-16 ----

void BM_Utf16Encode_String(benchmark::State& state) {
    const Input& input = GetInput(state);
    String text = MakeString(input);
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.GetUtf16());
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Encode_Portable(benchmark::State& state) {
    const Input& input = GetInput(state);
    const unsigned int* in = reinterpret_cast<const unsigned int*>(input.utf32.data());
    std::vector<unsigned short> out(input.utf16.size() + utf::kUtf16EncodeSlack);
    for (auto _ : state) {
        const size_t done =
            utf::EncodeUtf16BmpPrefix(in, input.utf32.size(), out.data(), utf::Kernel::kPortable);
        if (done < input.utf32.size()) {
            benchmark::DoNotOptimize(utf::Utf16Length(in + done, input.utf32.size() - done));
            utf::EncodeUtf16(in + done, input.utf32.size() - done, out.data() + done,
                             utf::Kernel::kPortable);
        }
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Encode_IcuFromUTF32(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf16.size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t length = 0;
        u_strFromUTF32(out.data(), static_cast<int32_t>(out.size()), &length, input.utf32.data(),
                       static_cast<int32_t>(input.utf32.size()), &error);
        Check(U_SUCCESS(error), state);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Encode_IcuU16Append(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf16.size() + 1);
    const int32_t capacity = static_cast<int32_t>(out.size());
    for (auto _ : state) {
        int32_t length = 0;
        UBool error = false;
        for (const UChar32 c : input.utf32) {
            U16_APPEND(out.data(), length, capacity, c, error);
        }
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(error);
        benchmark::ClobberMemory();
    }
    Finish(state, input);
}

void BM_Utf16Encode_Memcpy(benchmark::State& state) {
    const Input& input = GetInput(state);
    std::vector<UChar> out(input.utf16.size());
    for (auto _ : state) {
        std::memcpy(out.data(), input.utf16.data(), input.utf16.size() * sizeof(UChar));
        benchmark::ClobberMemory();
    }
    Finish(state, input);
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
