// sample_generator OUT_FOLDER PLANKWISE_EXE UNINSTALL_EXE DSETUP_DLL LANG_DLL...
// Writes the data files of the sample payload into OUT_FOLDER and the manifest
// "manifest.txt" that `payload pack` reads: 70 files with the kinds and
// destinations of the product's payload. Deterministic: the same bytes every run.
//   textures and the user image: real 24-bit BMP images (wood grain)
//   sample projects: small XML documents of the product
//   material definitions and product libraries: text and binary data of their own formats
//   DirectX setup files: the setup library stand-in and package files
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 7) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    std::uint32_t state_;
};

std::string narrow(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>(v >> (8 * i)));
    }
}

// A wood-grain texture as a 24-bit bottom-up BMP.
std::string wood_bmp(int width, int height, std::uint32_t seed) {
    Random r(seed);
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t pixels = static_cast<std::uint32_t>(stride * height);
    std::string bmp = "BM";
    put32(bmp, 54 + pixels);
    put32(bmp, 0);
    put32(bmp, 54);
    put32(bmp, 40);
    put32(bmp, static_cast<std::uint32_t>(width));
    put32(bmp, static_cast<std::uint32_t>(height));
    bmp += std::string("\x01\x00\x18\x00", 4);
    put32(bmp, 0);
    put32(bmp, pixels);
    put32(bmp, 2835);
    put32(bmp, 2835);
    put32(bmp, 0);
    put32(bmp, 0);
    const double base_r = 150 + r.next() % 60, base_g = 95 + r.next() % 40,
                 base_b = 45 + r.next() % 30;
    const double rings = 0.04 + (r.next() % 100) / 2000.0;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const double grain = std::sin((x + 8.0 * std::sin(y * 0.02)) * rings) * 18.0;
            const int noise = static_cast<int>(r.next() % 9) - 4;
            const auto clamp = [](double v) {
                return static_cast<char>(v < 0 ? 0 : v > 255 ? 255 : v);
            };
            row.push_back(clamp(base_b + grain * 0.5 + noise));
            row.push_back(clamp(base_g + grain + noise));
            row.push_back(clamp(base_r + grain + noise));
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        bmp += row;
    }
    return bmp;
}

std::string project_xml(int index, Random& r) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PlankwiseProject version=\"6.07\">\n";
    xml += "  <Name>Sample " + std::to_string(index + 1) + "</Name>\n  <Parts>\n";
    const int parts = 200 + static_cast<int>(r.next() % 200);
    static const char* const woods[] = {"oak", "beech", "walnut", "pine", "maple"};
    for (int p = 0; p < parts; ++p) {
        xml += "    <Panel id=\"" + std::to_string(p) + "\" material=\"" + woods[r.next() % 5] +
               "\" length=\"" + std::to_string(200 + r.next() % 2200) + "\" width=\"" +
               std::to_string(50 + r.next() % 800) + "\" thickness=\"" +
               std::to_string(12 + r.next() % 30) + "\"/>\n";
    }
    return xml + "  </Parts>\n</PlankwiseProject>\n";
}

std::string material_text(int index, Random& r) {
    std::string text = "# Plankwise material definitions, set " + std::to_string(index + 1) + "\n";
    for (int i = 0; i < 900; ++i) {
        text += "material " + std::to_string(index * 1000 + i) +
                " density=" + std::to_string(400 + r.next() % 500) +
                " elasticity=" + std::to_string(8000 + r.next() % 6000) +
                " price=" + std::to_string(r.next() % 900) + "." + std::to_string(r.next() % 100) +
                "\n";
    }
    return text;
}

// Binary component data: records of a table with some structure and some entropy.
std::string library_data(std::size_t size, Random& r) {
    std::string data = "PWLIB\x01";
    while (data.size() < size) {
        put32(data, static_cast<std::uint32_t>(data.size()));
        put32(data, r.next() % 64);
        put32(data, r.next());
        data += std::string(4, static_cast<char>(r.next() % 4));
    }
    data.resize(size);
    return data;
}

struct Entry {
    int kind;
    std::wstring destination;
    std::wstring file;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(
            stderr,
            "usage: sample_generator OUT PLANKWISE_EXE UNINSTALL_EXE DSETUP_DLL LANG_DLL...\n");
        return 2;
    }
    const std::wstring out = argv[1];
    ::CreateDirectoryW(out.c_str(), nullptr);
    std::vector<Entry> entries;
    const auto write = [&](const std::wstring& name, const std::string& bytes, int kind,
                           const std::wstring& destination) {
        std::ofstream file((out + L"\\" + name).c_str(),
                           std::ios_base::binary | std::ios_base::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        entries.push_back({kind, destination, out + L"\\" + name});
    };
    entries.push_back({1, L"<InstallPath>", argv[2]});
    entries.push_back({2, L"<InstallPath>", argv[3]});
    for (int i = 5; i < argc; ++i) {
        entries.push_back({0, L"<InstallPath>\\Lang", argv[i]});
    }
    Random r(2026);
    static const wchar_t* const libraries[] = {L"Joinery", L"Cutting", L"Hardware", L"Rendering",
                                               L"Export",  L"Import",  L"Pricing",  L"Printing",
                                               L"Drawing", L"Nesting"};
    for (int i = 0; i < 10; ++i) {
        write(std::wstring(L"Plankwise") + libraries[i] + L".pwlib",
              library_data(700000 + 30000 * i, r), 3, L"<CommonData>\\Vantorel\\Plankwise 6");
    }
    for (int i = 0; i < 10; ++i) {
        write(L"Materials" + std::to_wstring(i + 1) + L".pwmat", material_text(i, r), 3,
              L"<CommonData>\\Vantorel\\Materials");
    }
    write(L"UserPicture.bmp", wood_bmp(256, 256, 99), 3, L"<UserData>\\Vantorel\\Plankwise 6");
    for (int i = 0; i < 10; ++i) {
        write(L"Sample" + std::to_wstring(i + 1) + L".pwproj", project_xml(i, r), 4,
              L"<SamplePath>");
    }
    static const wchar_t* const woods[] = {L"Oak",  L"Beech", L"Walnut",
                                           L"Pine", L"Maple", L"Cherry"};
    for (int i = 0; i < 18; ++i) {
        write(std::wstring(woods[i % 6]) + std::to_wstring(i / 6 + 1) + L".bmp",
              wood_bmp(560, 480, static_cast<std::uint32_t>(i + 1)), 4,
              L"<CommonData>\\Vantorel\\Textures\\Plankwise 6");
    }
    entries.push_back({5, L"<Temporary>", argv[4]});
    static const wchar_t* const packages[] = {L"dxdllreg_x86.cab", L"dxupdate.cab",
                                              L"Jun2010_D3DCompiler_43_x86.cab",
                                              L"Jun2010_d3dx9_43_x86.cab"};
    write(L"dsetup32.dll", library_data(90000, r), 5, L"<Temporary>");
    for (int i = 0; i < 4; ++i) {
        write(packages[i], "MSCF" + library_data(300000 + 200000 * i, r), 5, L"<Temporary>");
    }
    std::ofstream manifest((out + L"\\manifest.txt").c_str(),
                           std::ios_base::binary | std::ios_base::trunc);
    manifest << "# The sample payload: kind<TAB>destination<TAB>file\n";
    for (const auto& e : entries) {
        manifest << e.kind << '\t' << narrow(e.destination) << '\t' << narrow(e.file) << '\n';
    }
    std::printf("%zu files\n", entries.size());
    return entries.size() == 70 ? 0 : 1;
}
