// The stand-in host's array: what MATLAB keeps behind an mxArray handle, cut
// down to the classes and shapes that scripts pass to these functions.
#ifndef MEXHOST_ARRAY_H
#define MEXHOST_ARRAY_H

#include <cstddef>
#include <string>

enum class ArrayClass { Double, Single, Char, Logical, Int32, Uint8, Cell };

struct mxArray_tag {
    ArrayClass cls;
    std::size_t rows;
    std::size_t cols;
    bool sparse;   // flag only: the values are kept dense
    bool complex;
    void *real;    // rows*cols elements of the class's size
    void *imag;    // same size as real when complex, else null
};

namespace mexhost {

// One malloc per array (header and data), so any module of the host can free
// what another created: the loader frees the arrays libmx hands out.
mxArray_tag *create_array(ArrayClass cls, std::size_t rows, std::size_t cols,
                          bool complex = false, bool sparse = false);
void destroy_array(mxArray_tag *array);

std::size_t element_size(ArrayClass cls);
const char *class_name(ArrayClass cls);

// MATLAB-like text of an array, e.g. "0.5", "[1,2]", "int32(5)", "'abc'".
std::string format_array(const mxArray_tag *array);

// Parses one command-line argument; returns null and sets error on bad text.
// Grammar: number (NaN, Inf, -Inf), a+bi, [] or [1,2;3,4], zeros(m,n),
// 'text', true/false, and CLASS(value) with CLASS one of double, single,
// int32, uint8, logical, char, sparse, complex, cell.
mxArray_tag *parse_array(const std::string &text, std::string &error);

}  // namespace mexhost

#endif
