// Stand-in for MATLAB's libmx: exactly the binding names the deliverables use.
#include "array.h"

#include <cstdint>
#include <cstring>

extern "C" {

mxArray_tag *mxCreateDoubleMatrix_700(int m, int n, int flag) {
    if (m < 0 || n < 0) return nullptr;
    // create_array zero-fills, so the new element is 0 as MATLAB promises.
    return mexhost::create_array(ArrayClass::Double, static_cast<std::size_t>(m),
                                 static_cast<std::size_t>(n), flag != 0);
}

mxArray_tag *mxCreateLogicalScalar(bool value) {
    mxArray_tag *array = mexhost::create_array(ArrayClass::Logical, 1, 1);
    if (array) *static_cast<unsigned char *>(array->real) = value ? 1 : 0;
    return array;
}

// A 1xN char row; MATLAB widens each byte to a 16-bit mxChar.
mxArray_tag *mxCreateString(const char *text) {
    const std::size_t length = text ? std::strlen(text) : 0;
    mxArray_tag *array = mexhost::create_array(ArrayClass::Char, length == 0 ? 0 : 1, length);
    if (!array) return nullptr;
    auto *chars = static_cast<std::uint16_t *>(array->real);
    for (std::size_t i = 0; i < length; ++i) chars[i] = static_cast<unsigned char>(text[i]);
    return array;
}

double *mxGetPr(const mxArray_tag *array) {
    return array ? static_cast<double *>(array->real) : nullptr;
}

bool mxIsDouble(const mxArray_tag *array) {
    return array && array->cls == ArrayClass::Double;
}

bool mxIsSparse(const mxArray_tag *array) { return array && array->sparse; }

bool mxIsComplex(const mxArray_tag *array) { return array && array->complex; }

std::size_t mxGetNumberOfElements(const mxArray_tag *array) {
    return array ? array->rows * array->cols : 0;
}

}
