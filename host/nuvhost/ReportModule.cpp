#include "ReportModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

namespace nuv {

namespace {

// The ELF layout of this build (ElfW picks the 32- or 64-bit structures); the symbol-info
// macros are the same for both.
using ElfEhdr = ElfW(Ehdr);
using ElfShdr = ElfW(Shdr);
using ElfSym = ElfW(Sym);
constexpr unsigned char NativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char NativeData = ELFDATA2LSB;
#else
constexpr unsigned char NativeData = ELFDATA2MSB;
#endif

// A bounds-checked view of the mapped file.
struct Bytes {
    const uchar* data;
    qint64 size;
    template <class T> bool Read(quint64 offset, T& out) const {
        if (offset > static_cast<quint64>(size) || sizeof(T) > static_cast<quint64>(size) - offset)
            return false;
        std::memcpy(&out, data + offset, sizeof(T));
        return true;
    }
};

bool Fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

bool ExportsGetController(const QString& path, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(why, file.errorString());
    if (file.size() < static_cast<qint64>(sizeof(ElfEhdr)))
        return Fail(why, QStringLiteral("not an ELF file"));
    const uchar* data = file.map(0, file.size());
    if (data == nullptr)
        return Fail(why, QStringLiteral("the file cannot be read"));
    const Bytes bytes{data, file.size()};

    ElfEhdr eh;
    if (!bytes.Read(0, eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0)
        return Fail(why, QStringLiteral("not an ELF file"));
    if (eh.e_ident[EI_CLASS] != NativeClass || eh.e_ident[EI_DATA] != NativeData)
        return Fail(why, QStringLiteral("an ELF file for another kind of machine"));
    if (eh.e_type != ET_DYN)
        return Fail(why, QStringLiteral("not a shared library"));
    if (eh.e_shentsize != sizeof(ElfShdr) || eh.e_shnum == 0)
        return Fail(why, QStringLiteral("the library has no section table"));

    auto section = [&](quint64 index, ElfShdr& out) {
        return index < eh.e_shnum && bytes.Read(eh.e_shoff + index * sizeof(ElfShdr), out);
    };
    for (quint64 i = 0; i < eh.e_shnum; ++i) {
        ElfShdr symtab;
        if (!section(i, symtab))
            return Fail(why, QStringLiteral("the section table is cut short"));
        if (symtab.sh_type != SHT_DYNSYM || symtab.sh_entsize != sizeof(ElfSym))
            continue;
        ElfShdr strtab;
        if (!section(symtab.sh_link, strtab))
            return Fail(why, QStringLiteral("the dynamic symbols have no names"));
        const quint64 count = symtab.sh_size / sizeof(ElfSym);
        for (quint64 k = 0; k < count; ++k) {
            ElfSym sym;
            if (!bytes.Read(symtab.sh_offset + k * sizeof(ElfSym), sym))
                return Fail(why, QStringLiteral("the dynamic symbols are cut short"));
            const int bind = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || ELF64_ST_TYPE(sym.st_info) != STT_FUNC ||
                (bind != STB_GLOBAL && bind != STB_WEAK) ||
                ELF64_ST_VISIBILITY(sym.st_other) != STV_DEFAULT)
                continue;
            static constexpr char wanted[] = "GetController";
            const quint64 at = strtab.sh_offset + sym.st_name;
            if (sym.st_name >= strtab.sh_size || strtab.sh_size - sym.st_name < sizeof wanted ||
                at > static_cast<quint64>(bytes.size) ||
                static_cast<quint64>(bytes.size) - at < sizeof wanted)
                continue;
            if (std::memcmp(bytes.data + at, wanted, sizeof wanted) == 0)
                return true;
        }
    }
    return Fail(why, QStringLiteral("the library does not export GetController"));
}

QStringList ListReportModules(const QString& folder) {
    QStringList modules;
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*.so")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& f : files)
        if (ExportsGetController(f.absoluteFilePath()))
            modules << f.absoluteFilePath();
    return modules;
}

TReportModule LoadReportModule(const QString& nameOrPath, const QString& folder) {
    QString path = nameOrPath;
    if (!path.contains(QLatin1Char('/'))) {
        if (!path.endsWith(QLatin1String(".so")))
            path += QLatin1String(".so");
        path = QDir(folder).filePath(path);
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path))
        throw Exception("The report module " + shown.toStdString() + " does not exist");
    QString why;
    if (!ExportsGetController(path, &why))
        throw Exception(shown.toStdString() + " is not a report module: " + why.toStdString());
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        throw Exception("The report module " + shown.toStdString() +
                        " cannot be loaded: " + (error ? error : "unknown error"));
    }
    auto get = reinterpret_cast<TGetControllerFunc>(dlsym(handle, GetControllerName));
    if (get == nullptr)
        throw Exception(shown.toStdString() + " is not a report module: it exports no " +
                        GetControllerName);
    return {QFileInfo(path).absoluteFilePath(), get};
}

} // namespace nuv
