// The built library loads on its own and exports the ODBC entry points and
// nothing else.
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const std::set<std::string> kEntryPoints = {
    "SQLAllocHandle",   "SQLFreeHandle",     "SQLSetEnvAttr",     "SQLGetEnvAttr",
    "SQLGetDiagRec",    "SQLGetDiagField",   "SQLConnect",        "SQLDriverConnect",
    "SQLDisconnect",    "SQLSetConnectAttr", "SQLGetConnectAttr", "SQLGetInfo",
    "SQLGetFunctions",  "SQLNativeSql",      "SQLEndTran",        "SQLSetStmtAttr",
    "SQLGetStmtAttr",   "SQLPrepare",        "SQLExecute",        "SQLExecDirect",
    "SQLNumResultCols", "SQLDescribeCol",    "SQLColAttribute",   "SQLBindCol",
    "SQLFetch",         "SQLFetchScroll",    "SQLGetData",        "SQLFreeStmt",
    "SQLCloseCursor",   "SQLRowCount",       "SQLMoreResults",    "SQLCancel",
    "SQLNumParams",     "SQLTables",         "SQLColumns",        "SQLGetTypeInfo",
};

// The names of the symbols the library defines in its dynamic symbol table.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    if (image.size() < sizeof(Elf64_Ehdr))
        return {};
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    std::memcpy(sections.data(), image.data() + header.e_shoff,
                sections.size() * sizeof(Elf64_Shdr));
    std::set<std::string> names;
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr& strings = sections[section.sh_link];
        const std::size_t count = section.sh_size / sizeof(Elf64_Sym);
        for (std::size_t i = 0; i < count; ++i) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + section.sh_offset + i * sizeof symbol,
                        sizeof symbol);
            if (symbol.st_shndx == SHN_UNDEF || symbol.st_name == 0)
                continue;
            names.insert(image.data() + strings.sh_offset + symbol.st_name);
        }
    }
    return names;
}

TEST(DriverLibrary, LoadsAndFindsEveryEntryPoint) {
    void* library = dlopen(KELVARA_DRIVER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const auto& name : kEntryPoints)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
    dlclose(library);
}

TEST(DriverLibrary, ExportsOnlyTheEntryPoints) {
    EXPECT_EQ(definedDynamicSymbols(KELVARA_DRIVER_LIBRARY), kEntryPoints);
}

} // namespace
