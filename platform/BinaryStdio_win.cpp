// Linked into the quire tool on Windows, so that its standard streams carry
// bytes unchanged as on POSIX: text mode would put a CR before every LF and
// end the input at the first Ctrl-Z.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>

namespace {

// Set during static initialisation, before main reads or writes anything.
[[maybe_unused]] const bool binaryStdio = [] {
  for (std::FILE* stream : {stdin, stdout, stderr}) ::_setmode(::_fileno(stream), _O_BINARY);
  return true;
}();

}  // namespace
