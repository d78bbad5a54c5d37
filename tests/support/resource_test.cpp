#include "payload/archive.h"
#include "payload/resource_stream.h"
#include "payload/verify.h"
#include "support/resource.h"

#include <gtest/gtest.h>

namespace {

// The test program carries a small archive as its payload resource.
TEST(ResourceStream, OpensThePayloadResourceOfTheExecutable) {
    auto stream = vt::open_payload_stream();
    EXPECT_GT(stream.rdbuf()->size(), 14u);
    EXPECT_EQ(stream.get(), 'B');
    stream.seekg(0);
    EXPECT_TRUE(vt::verify_payload(stream));
}

TEST(ResourceStream, AMissingResourceGivesAnEmptyStream) {
    auto stream = vt::open_resource_stream(vt::PayloadArchive::resource_type, 999);
    EXPECT_EQ(stream.get(), std::char_traits<char>::eof());
    stream.clear();
    stream.seekg(0);
    EXPECT_FALSE(vt::verify_payload(stream));
}

TEST(ResourceStream, FallsBackToTheExecutableWhenTheResourceModuleLacksTheResource) {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    vt::set_resource_module(kernel);
    const auto bytes = vt::load_resource(MAKEINTRESOURCEW(134), MAKEINTRESOURCEW(260));
    const auto only_executable =
        vt::load_resource(MAKEINTRESOURCEW(134), MAKEINTRESOURCEW(260), true);
    vt::set_resource_module(nullptr);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.data(), only_executable.data());
}

} // namespace
