// The glyph library as the plug-in sees it: Pemtal.so opened with dlopen, glyphs fetched
// through the C sink.

#include "Pemtal.h"
#include "CBitmapSink.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int Frame = PEMTAL_FRAME_SIZE;

// The library, opened once for the whole run and never closed (as in the plug-in).
struct Pemtal {
    void* handle = nullptr;
    PemtalGetMaxBmpIDFn getMaxBmpID = nullptr;
    PemtalLoadBmpFn loadBmp = nullptr;

    static const Pemtal& Get() {
        static const Pemtal lib = [] {
            Pemtal l;
            l.handle = dlopen(PEMTAL_PATH, RTLD_NOW | RTLD_LOCAL);
            if (l.handle != nullptr) {
                l.getMaxBmpID =
                    reinterpret_cast<PemtalGetMaxBmpIDFn>(dlsym(l.handle, "GetMaxBmpID"));
                l.loadBmp = reinterpret_cast<PemtalLoadBmpFn>(dlsym(l.handle, "LoadBmp"));
            }
            return l;
        }();
        return lib;
    }
};

// What a sink received.
struct Glyph {
    int calls = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    int Frames() const { return height > 0 ? width / height : 0; }
    uint32_t At(int frame, int x, int y) const {
        return argb[static_cast<size_t>(y) * width + frame * height + x];
    }
    std::vector<uint32_t> FramePixels(int frame) const {
        std::vector<uint32_t> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < height; ++x)
                out.push_back(At(frame, x, y));
        return out;
    }
};

void Receive(void* context, int width, int height, const uint32_t* argb) {
    auto* glyph = static_cast<Glyph*>(context);
    ++glyph->calls;
    glyph->width = width;
    glyph->height = height;
    glyph->argb.assign(argb, argb + static_cast<size_t>(width) * height);
}

// Loads glyph `index`; `ok` gets LoadBmp's result.
Glyph Load(int index, int* ok = nullptr) {
    Glyph glyph;
    NuvBitmapSink sink{&glyph, Receive};
    const int result = Pemtal::Get().loadBmp(&sink, index);
    if (ok != nullptr)
        *ok = result;
    return glyph;
}

int MaxId() {
    return Pemtal::Get().getMaxBmpID();
}

std::vector<Glyph> LoadAll() {
    std::vector<Glyph> all;
    for (int i = 1; i <= MaxId(); ++i)
        all.push_back(Load(i));
    return all;
}

uint32_t Alpha(uint32_t c) {
    return c >> 24;
}

// Names of the symbols that an ELF shared object defines in its dynamic symbol table.
std::set<std::string> DefinedDynamicSymbols(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
    std::set<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0 ||
        file[EI_CLASS] != ELFCLASS64)
        return names;
    Elf64_Ehdr header;
    std::memcpy(&header, file.data(), sizeof header);
    auto section = [&](size_t i) {
        Elf64_Shdr s;
        std::memcpy(&s, file.data() + header.e_shoff + i * header.e_shentsize, sizeof s);
        return s;
    };
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr symtab = section(i);
        if (symtab.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr strtab = section(symtab.sh_link);
        for (size_t k = 0; k < symtab.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym sym;
            std::memcpy(&sym, file.data() + symtab.sh_offset + k * sizeof(Elf64_Sym), sizeof sym);
            const int binding = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK))
                continue;
            names.insert(file.data() + strtab.sh_offset + sym.st_name);
        }
    }
    return names;
}

class PemtalTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Pemtal& lib = Pemtal::Get();
        ASSERT_NE(lib.handle, nullptr) << PEMTAL_PATH << ": " << dlerror();
        ASSERT_NE(lib.getMaxBmpID, nullptr);
        ASSERT_NE(lib.loadBmp, nullptr);
    }
};

// ---- the library's interface

TEST_F(PemtalTest, ExportsOnlyTheTwoGlyphFunctions) {
    EXPECT_EQ(DefinedDynamicSymbols(PEMTAL_PATH),
              (std::set<std::string>{"GetMaxBmpID", "LoadBmp"}));
}

TEST_F(PemtalTest, EveryNumberUpToTheMaximumIsASquareFramedGlyph) {
    ASSERT_GE(MaxId(), 90);
    for (int i = 1; i <= MaxId(); ++i) {
        SCOPED_TRACE(i);
        int ok = 0;
        const Glyph g = Load(i, &ok);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(g.calls, 1);
        EXPECT_EQ(g.height, Frame);
        EXPECT_EQ(g.width % Frame, 0);
        EXPECT_TRUE(g.Frames() == 1 || g.Frames() == 2) << g.width;
    }
}

TEST_F(PemtalTest, FrameCountsOfTheGlyphsTheDialogsUse) {
    // The selection panel's clear button draws the second frame of 4 when disabled; its
    // look-up and delete-row buttons hold a single frame.
    const struct {
        int index;
        int frames;
    } cases[] = {{4, 2},  {8, 1}, {9, 1}, {11, 1}, {47, 1}, {60, 1}, {68, 1}, {81, 1},
                 {85, 1}, {1, 2}, {2, 2}, {17, 2}, {18, 2}, {19, 2}, {20, 2}, {35, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const Glyph g = Load(c.index);
        EXPECT_EQ(g.height, Frame);
        EXPECT_EQ(g.width, c.frames * Frame);
    }
}

TEST_F(PemtalTest, RefusesNumbersOutsideTheRangeWithoutTouchingTheBitmap) {
    for (int index : {0, -1, -4, INT_MIN, MaxId() + 1, MaxId() + 85, INT_MAX}) {
        SCOPED_TRACE(index);
        int ok = -1;
        const Glyph g = Load(index, &ok);
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(g.calls, 0);
    }
}

TEST_F(PemtalTest, RefusesAMissingSinkOrCallback) {
    EXPECT_EQ(Pemtal::Get().loadBmp(nullptr, 4), 0);
    int context = 0;
    NuvBitmapSink noCallback{&context, nullptr};
    EXPECT_EQ(Pemtal::Get().loadBmp(&noCallback, 4), 0);
}

TEST_F(PemtalTest, ASinkWrittenInCReceivesTheSamePixels) {
    for (int index : {4, 47, 85}) {
        SCOPED_TRACE(index);
        CGlyph c;
        ASSERT_EQ(LoadIntoCGlyph(Pemtal::Get().loadBmp, index, &c), 1);
        const Glyph g = Load(index);
        EXPECT_EQ(c.calls, 1);
        ASSERT_EQ(c.width, g.width);
        ASSERT_EQ(c.height, g.height);
        EXPECT_TRUE(std::equal(g.argb.begin(), g.argb.end(), c.argb));
    }
    CGlyph refused;
    EXPECT_EQ(LoadIntoCGlyph(Pemtal::Get().loadBmp, 0, &refused), 0);
    EXPECT_EQ(refused.calls, 0);
}

// ---- the pictures

TEST_F(PemtalTest, EveryFrameIsAPictureOnATransparentBackground) {
    const std::vector<Glyph> all = LoadAll();
    for (size_t i = 0; i < all.size(); ++i) {
        for (int f = 0; f < all[i].Frames(); ++f) {
            SCOPED_TRACE(testing::Message() << "glyph " << i + 1 << " frame " << f);
            const std::vector<uint32_t> px = all[i].FramePixels(f);
            const auto solid =
                std::count_if(px.begin(), px.end(), [](uint32_t c) { return Alpha(c) >= 128; });
            const auto clear =
                std::count_if(px.begin(), px.end(), [](uint32_t c) { return Alpha(c) == 0; });
            // At least a tenth of the frame drawn, and background left round it.
            EXPECT_GE(solid, Frame * Frame / 10);
            EXPECT_GE(clear, Frame);
        }
    }
}

TEST_F(PemtalTest, NoTwoGlyphsLookAlike) {
    // Pixels that differ clearly in coverage or colour; a handful is the least that makes two
    // pictures tell apart at 16 px (zoom in and zoom out differ by the plus's upright).
    auto differ = [](uint32_t a, uint32_t b) {
        int most = 0;
        for (int shift : {0, 8, 16, 24})
            most = std::max(most, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
        return most > 48;
    };
    const std::vector<Glyph> all = LoadAll();
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j) {
            const std::vector<uint32_t> a = all[i].FramePixels(0), b = all[j].FramePixels(0);
            int count = 0;
            for (size_t k = 0; k < a.size(); ++k)
                count += differ(a[k], b[k]) ? 1 : 0;
            EXPECT_GE(count, 8) << "glyphs " << i + 1 << " and " << j + 1;
        }
    }
}

TEST_F(PemtalTest, TheDisabledFrameIsTheSameShapeInGrey) {
    const std::vector<Glyph> all = LoadAll();
    int twoFrameGlyphs = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const Glyph& g = all[i];
        if (g.Frames() != 2)
            continue;
        ++twoFrameGlyphs;
        SCOPED_TRACE(i + 1);
        int changed = 0;
        for (int y = 0; y < Frame; ++y) {
            for (int x = 0; x < Frame; ++x) {
                const QColor normal = QColor::fromRgba(g.At(0, x, y));
                const QColor disabled = QColor::fromRgba(g.At(1, x, y));
                EXPECT_EQ(normal.alpha() == 0, disabled.alpha() == 0) << x << "," << y;
                EXPECT_LE(disabled.alpha(), normal.alpha());
                if (disabled.alpha() > 0) {
                    EXPECT_LE(std::abs(disabled.red() - disabled.green()), 2);
                    EXPECT_LE(std::abs(disabled.green() - disabled.blue()), 2);
                }
                changed += normal.rgba() != disabled.rgba() ? 1 : 0;
            }
        }
        EXPECT_GE(changed, Frame * Frame / 10) << "the disabled frame should look different";
    }
    EXPECT_GE(twoFrameGlyphs, 1);
}

TEST_F(PemtalTest, PixelsHaveStraightAlpha) {
    // With premultiplied pixels no colour channel could exceed the alpha; the antialiased
    // edges of light shapes show that these are not premultiplied.
    bool straight = false;
    for (const Glyph& g : LoadAll()) {
        for (uint32_t c : g.argb) {
            const uint32_t a = Alpha(c);
            const uint32_t brightest = std::max({(c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff});
            straight = straight || (a > 0 && a < 160 && brightest > a + 32);
        }
    }
    EXPECT_TRUE(straight);
}

TEST_F(PemtalTest, LoadingAGlyphAgainGivesTheSamePixels) {
    const std::vector<Glyph> first = LoadAll();
    const std::vector<Glyph> second = LoadAll();
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].argb, second[i].argb) << "glyph " << i + 1;
}

// ---- a contact sheet for people to look at

QImage ToImage(const Glyph& g) {
    QImage image(g.width, g.height, QImage::Format_ARGB32);
    for (int y = 0; y < g.height; ++y)
        std::memcpy(image.scanLine(y), g.argb.data() + static_cast<size_t>(y) * g.width,
                    static_cast<size_t>(g.width) * sizeof(uint32_t));
    return image;
}

TEST_F(PemtalTest, WritesAContactSheetOfAllGlyphs) {
    // Each cell: the glyph three times enlarged (both frames), the glyph at its own size on a
    // 22 x 22 flat button, and its number.
    constexpr int Columns = 8, Scale = 3, CellWidth = 2 * Frame * Scale + 48, CellHeight = 72;
    const int count = MaxId();
    const int rows = (count + Columns - 1) / Columns;
    QImage sheet(Columns * CellWidth, rows * CellHeight, QImage::Format_ARGB32);
    sheet.fill(QColor(0xf0, 0xf0, 0xf0));
    {
        QPainter p(&sheet);
        QFont font = p.font();
        font.setPixelSize(11);
        p.setFont(font);
        for (int i = 1; i <= count; ++i) {
            const QImage glyph = ToImage(Load(i));
            const int x = ((i - 1) % Columns) * CellWidth, y = ((i - 1) / Columns) * CellHeight;
            p.setPen(QColor(0xc8, 0xc8, 0xc8));
            p.drawRect(x, y, CellWidth - 1, CellHeight - 1);
            p.fillRect(x + 4, y + 4, glyph.width() * Scale, Frame * Scale, Qt::white);
            p.drawImage(
                QPoint(x + 4, y + 4),
                glyph.scaled(glyph.size() * Scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            const QRect button(x + CellWidth - 30, y + 8, 22, 22);
            p.setPen(QColor(0xa0, 0xa0, 0xa0));
            p.drawRect(button.adjusted(0, 0, -1, -1));
            p.drawImage(QPoint(button.x() + 3, button.y() + 3), glyph.copy(0, 0, Frame, Frame));
            p.setPen(Qt::black);
            p.drawText(QRect(x + 4, y + 4 + Frame * Scale + 2, CellWidth - 8, 18),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::number(i));
        }
    }
    ASSERT_TRUE(QDir().mkpath(NUV_TEST_OUTPUT_DIR));
    const QString path = QStringLiteral(NUV_TEST_OUTPUT_DIR "/glyphs.png");
    ASSERT_TRUE(sheet.save(path));
    EXPECT_EQ(QImage(path).size(), sheet.size());
}

} // namespace
