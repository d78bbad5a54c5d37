#include "small_product.h"

#include "install_page_fixture.h"

namespace vt::test {

ArchiveBuilder SmallProduct(const std::string& tag) {
    ArchiveBuilder archive;
    archive.add({L"Plankwise.exe", L"<InstallPath>", 1, BuildFile(L"sample\\Plankwise.exe"), {}});
    archive.add({L"Uninstall.exe", L"<InstallPath>", 2, BuildFile(L"sample\\Uninstall.exe"), {}});
    archive.add(L"Readme.txt", "Plankwise " + tag + "\r\n");
    archive.add(L"Tables.dat", pattern(200000, static_cast<unsigned>(tag.size())),
                L"<InstallPath>\\Data");
    return archive;
}

} // namespace vt::test
