// Stand-in for MATLAB's libmx: exactly the binding names the deliverables use.
#include "array.h"

#include <cstring>

extern "C" {

mxArray_tag *mxCreateDoubleMatrix_700(int m, int n, int flag) {
    if (m < 0 || n < 0) return nullptr;
    // create_array zero-fills, so the new element is 0 as MATLAB promises.
    return mexhost::create_array(ArrayClass::Double, static_cast<std::size_t>(m),
                                 static_cast<std::size_t>(n), flag != 0);
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
