#include "payload/verify.h"

#include <boost/iostreams/compose.hpp>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>

#include <exception>

namespace io = boost::iostreams;

namespace vt {

bool verify_payload(std::istream& source) {
    std::streamsize read = 0;
    try {
        auto chain = io::compose(io::bzip2_decompressor(), io::null_sink());
        read = io::copy(source, chain, 4096);
    } catch (const std::exception&) {
        return false;
    }
    return read > 0 && source.good() &&
           std::istream::traits_type::eq_int_type(source.peek(), std::istream::traits_type::eof());
}

} // namespace vt
