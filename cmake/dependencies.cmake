# The static Windows builds of bzip2, Boost and GoogleTest that scripts/setup
# leaves in the build tree, one folder per target triple.
set(VT_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Cross-built dependencies")
set(_deps ${VT_DEPS_DIR}/${VT_TRIPLE})
foreach(lib bz2 boost_filesystem boost_iostreams gtest gmock gtest_main)
    if(NOT EXISTS ${_deps}/lib/lib${lib}.a)
        message(FATAL_ERROR "lib${lib}.a is missing in ${_deps}/lib: run scripts/setup first")
    endif()
endforeach()

add_library(vt_boost INTERFACE)
target_include_directories(vt_boost SYSTEM INTERFACE ${VT_DEPS_DIR}/include ${_deps}/include)
target_compile_definitions(vt_boost INTERFACE BOOST_ALL_NO_LIB BOOST_FILESYSTEM_STATIC_LINK
                                              BOOST_IOSTREAMS_STATIC_LINK BOOST_SYSTEM_STATIC_LINK)
target_link_libraries(vt_boost INTERFACE ${_deps}/lib/libboost_iostreams.a
                                         ${_deps}/lib/libboost_filesystem.a ${_deps}/lib/libbz2.a bcrypt)

add_library(vt_gtest INTERFACE)
target_include_directories(vt_gtest SYSTEM INTERFACE ${_deps}/include)
target_link_libraries(vt_gtest INTERFACE ${_deps}/lib/libgmock.a ${_deps}/lib/libgtest.a)
add_library(vt_gtest_main INTERFACE)
target_link_libraries(vt_gtest_main INTERFACE ${_deps}/lib/libgtest_main.a vt_gtest)
