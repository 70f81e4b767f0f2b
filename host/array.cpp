#include "array.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mexhost {

std::size_t element_size(ArrayClass cls) {
    switch (cls) {
        case ArrayClass::Double: return sizeof(double);
        case ArrayClass::Single: return sizeof(float);
        case ArrayClass::Char: return sizeof(std::uint16_t);  // MATLAB's mxChar
        case ArrayClass::Logical: return 1;
        case ArrayClass::Int32: return sizeof(std::int32_t);
        case ArrayClass::Uint8: return 1;
        case ArrayClass::Cell: return sizeof(mxArray_tag *);
    }
    return 1;
}

const char *class_name(ArrayClass cls) {
    switch (cls) {
        case ArrayClass::Double: return "double";
        case ArrayClass::Single: return "single";
        case ArrayClass::Char: return "char";
        case ArrayClass::Logical: return "logical";
        case ArrayClass::Int32: return "int32";
        case ArrayClass::Uint8: return "uint8";
        case ArrayClass::Cell: return "cell";
    }
    return "unknown";
}

mxArray_tag *create_array(ArrayClass cls, std::size_t rows, std::size_t cols, bool complex,
                          bool sparse) {
    const std::size_t count = rows * cols;
    if (rows != 0 && count / rows != cols) return nullptr;
    const std::size_t bytes = count * element_size(cls);
    const std::size_t planes = complex ? 2 : 1;
    void *block = std::calloc(1, sizeof(mxArray_tag) + planes * bytes);
    if (!block) return nullptr;
    auto *array = static_cast<mxArray_tag *>(block);
    char *data = static_cast<char *>(block) + sizeof(mxArray_tag);
    array->cls = cls;
    array->rows = rows;
    array->cols = cols;
    array->sparse = sparse;
    array->complex = complex;
    array->real = data;
    array->imag = complex ? data + bytes : nullptr;
    return array;
}

void destroy_array(mxArray_tag *array) {
    if (!array) return;
    if (array->cls == ArrayClass::Cell) {
        auto **cells = static_cast<mxArray_tag **>(array->real);
        for (std::size_t i = 0; i < array->rows * array->cols; ++i) destroy_array(cells[i]);
    }
    std::free(array);
}

namespace {

double element(const mxArray_tag *array, const void *plane, std::size_t i) {
    switch (array->cls) {
        case ArrayClass::Double: return static_cast<const double *>(plane)[i];
        case ArrayClass::Single: return static_cast<const float *>(plane)[i];
        case ArrayClass::Char: return static_cast<const std::uint16_t *>(plane)[i];
        case ArrayClass::Logical:
        case ArrayClass::Uint8: return static_cast<const std::uint8_t *>(plane)[i];
        case ArrayClass::Int32: return static_cast<const std::int32_t *>(plane)[i];
        case ArrayClass::Cell: return 0;
    }
    return 0;
}

void set_element(mxArray_tag *array, void *plane, std::size_t i, double value) {
    switch (array->cls) {
        case ArrayClass::Double: static_cast<double *>(plane)[i] = value; break;
        case ArrayClass::Single: static_cast<float *>(plane)[i] = static_cast<float>(value); break;
        case ArrayClass::Char:
            static_cast<std::uint16_t *>(plane)[i] = static_cast<std::uint16_t>(value);
            break;
        case ArrayClass::Logical: static_cast<std::uint8_t *>(plane)[i] = value != 0; break;
        case ArrayClass::Uint8: {
            // MATLAB's integer conversion: round, then saturate.
            double v = std::isnan(value) ? 0 : std::fmin(std::fmax(std::round(value), 0), 255);
            static_cast<std::uint8_t *>(plane)[i] = static_cast<std::uint8_t>(v);
            break;
        }
        case ArrayClass::Int32: {
            double v = std::isnan(value) ? 0
                                         : std::fmin(std::fmax(std::round(value), -2147483648.0),
                                                     2147483647.0);
            static_cast<std::int32_t *>(plane)[i] = static_cast<std::int32_t>(v);
            break;
        }
        case ArrayClass::Cell: break;
    }
}

std::string number_text(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

std::string element_text(const mxArray_tag *array, std::size_t i) {
    std::string text = number_text(element(array, array->real, i));
    if (array->complex) {
        double im = element(array, array->imag, i);
        text += (im < 0 || (im == 0 && std::signbit(im))) ? "-" : "+";
        text += number_text(std::fabs(im)) + "i";
    }
    return text;
}

// A small recursive-descent reader of the grammar in array.h.
class Parser {
public:
    explicit Parser(const std::string &text) : text_(text) {}

    mxArray_tag *parse(std::string &error) {
        mxArray_tag *array = value();
        skip_space();
        if (array && pos_ != text_.size()) {
            destroy_array(array);
            array = nullptr;
            fail("unexpected text at '" + text_.substr(pos_) + "'");
        }
        if (!array) error = error_.empty() ? "cannot read '" + text_ + "'" : error_;
        return array;
    }

private:
    struct Number {
        double re = 0, im = 0;
        bool complex = false;
    };

    const std::string &text_;
    std::size_t pos_ = 0;
    std::string error_;

    void fail(const std::string &why) {
        if (error_.empty()) error_ = why;
    }
    void skip_space() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool accept(char c) {
        skip_space();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool accept_word(const char *word) {
        skip_space();
        std::size_t n = std::strlen(word);
        if (text_.compare(pos_, n, word) != 0) return false;
        std::size_t end = pos_ + n;
        if (end < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[end])) ||
                                   text_[end] == '_'))
            return false;
        pos_ = end;
        return true;
    }

    bool real_number(double &out) {
        skip_space();
        const char *start = text_.c_str() + pos_;
        char *end = nullptr;
        errno = 0;
        out = std::strtod(start, &end);
        if (end == start) return false;
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    // A real number, an imaginary one (2i), or a+bi.
    bool number(Number &n) {
        double v;
        if (!real_number(v)) return false;
        if (accept('i')) {
            n.im = v;
            n.complex = true;
            return true;
        }
        n.re = v;
        std::size_t mark = pos_;
        skip_space();
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            double im;
            if (real_number(im) && accept('i')) {
                n.im = im;
                n.complex = true;
                return true;
            }
        }
        pos_ = mark;
        return true;
    }

    mxArray_tag *from_numbers(const std::vector<Number> &values, std::size_t rows,
                              std::size_t cols) {
        bool complex = false;
        for (const Number &n : values) complex = complex || n.complex;
        mxArray_tag *array = create_array(ArrayClass::Double, rows, cols, complex);
        if (!array) return nullptr;
        // Rows were read in row order; MATLAB keeps columns contiguous.
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t c = 0; c < cols; ++c) {
                const Number &n = values[r * cols + c];
                static_cast<double *>(array->real)[c * rows + r] = n.re;
                if (complex) static_cast<double *>(array->imag)[c * rows + r] = n.im;
            }
        return array;
    }

    mxArray_tag *matrix() {
        std::vector<Number> values;
        std::size_t rows = 0, cols = 0, in_row = 0;
        if (accept(']')) return create_array(ArrayClass::Double, 0, 0);
        for (;;) {
            Number n;
            if (!number(n)) {
                fail("expected a number in [...]");
                return nullptr;
            }
            values.push_back(n);
            ++in_row;
            if (accept(',')) continue;
            bool end = accept(']');
            if (end || accept(';')) {
                if (rows == 0) cols = in_row;
                if (in_row != cols) {
                    fail("rows of [...] differ in length");
                    return nullptr;
                }
                ++rows;
                in_row = 0;
                if (end) return from_numbers(values, rows, cols);
                continue;
            }
            fail("expected ',', ';' or ']'");
            return nullptr;
        }
    }

    mxArray_tag *text() {
        std::size_t end = text_.find('\'', pos_);
        if (end == std::string::npos) {
            fail("unterminated 'text'");
            return nullptr;
        }
        std::size_t length = end - pos_;
        mxArray_tag *array = create_array(ArrayClass::Char, length ? 1 : 0, length);
        if (!array) return nullptr;
        for (std::size_t i = 0; i < length; ++i)
            static_cast<std::uint16_t *>(array->real)[i] =
                static_cast<unsigned char>(text_[pos_ + i]);
        pos_ = end + 1;
        return array;
    }

    // CLASS(value): converts a parsed double array into another class.
    mxArray_tag *converted(const char *name) {
        mxArray_tag *inner = value();
        if (!inner) return nullptr;
        if (!accept(')')) {
            destroy_array(inner);
            fail("expected ')'");
            return nullptr;
        }
        std::string cls = name;
        if (cls == "sparse" || cls == "double") {
            inner->sparse = inner->sparse || cls == "sparse";
            return inner;
        }
        if (cls == "cell") {
            mxArray_tag *cell = create_array(ArrayClass::Cell, 1, 1);
            if (!cell) {
                destroy_array(inner);
                return nullptr;
            }
            static_cast<mxArray_tag **>(cell->real)[0] = inner;
            return cell;
        }
        ArrayClass target = cls == "single" ? ArrayClass::Single
                            : cls == "int32" ? ArrayClass::Int32
                            : cls == "uint8" ? ArrayClass::Uint8
                            : cls == "char"  ? ArrayClass::Char
                                             : ArrayClass::Logical;
        mxArray_tag *out = create_array(target, inner->rows, inner->cols,
                                        inner->complex && target != ArrayClass::Logical &&
                                            target != ArrayClass::Char);
        if (out) {
            for (std::size_t i = 0; i < inner->rows * inner->cols; ++i) {
                set_element(out, out->real, i, element(inner, inner->real, i));
                if (out->complex) set_element(out, out->imag, i, element(inner, inner->imag, i));
            }
        }
        destroy_array(inner);
        return out;
    }

    // zeros(m,n): shapes no literal can spell, empty ones and large ones alike.
    mxArray_tag *zeros() {
        const double most = 1e7;  // elements: 80 MB
        double m, n;
        if (!real_number(m) || !accept(',') || !real_number(n) || !accept(')') ||
            !(m >= 0 && n >= 0 && m <= most && n <= most && m * n <= most) ||
            m != std::floor(m) || n != std::floor(n)) {
            fail("zeros(m,n) takes whole sizes of at most 1e7 elements");
            return nullptr;
        }
        return create_array(ArrayClass::Double, static_cast<std::size_t>(m),
                            static_cast<std::size_t>(n));
    }

    mxArray_tag *value() {
        skip_space();
        if (accept('[')) return matrix();
        std::size_t mark = pos_;
        if (accept_word("zeros") && accept('(')) return zeros();
        pos_ = mark;
        if (accept('\'')) return text();
        for (const char *name :
             {"double", "single", "int32", "uint8", "logical", "char", "sparse", "cell"}) {
            std::size_t mark = pos_;
            if (accept_word(name) && accept('(')) return converted(name);
            pos_ = mark;
        }
        for (bool truth : {true, false}) {
            if (!accept_word(truth ? "true" : "false")) continue;
            mxArray_tag *array = create_array(ArrayClass::Logical, 1, 1);
            if (array) static_cast<std::uint8_t *>(array->real)[0] = truth;
            return array;
        }
        Number n;
        if (number(n)) return from_numbers({n}, 1, 1);
        fail("cannot read '" + text_.substr(pos_) + "'");
        return nullptr;
    }
};

}  // namespace

std::string format_array(const mxArray_tag *array) {
    if (!array) return "<none>";
    const std::size_t count = array->rows * array->cols;
    if (array->cls == ArrayClass::Char) {
        std::string text = "'";
        for (std::size_t i = 0; i < count; ++i)
            text += static_cast<char>(static_cast<const std::uint16_t *>(array->real)[i]);
        return text + "'";
    }
    if (array->cls == ArrayClass::Cell) {
        std::string text = "{";
        for (std::size_t i = 0; i < count; ++i)
            text += (i ? "," : "") + format_array(static_cast<mxArray_tag **>(array->real)[i]);
        return text + "}";
    }
    std::string text;
    if (count == 1) {
        text = element_text(array, 0);
    } else {
        text = "[";
        for (std::size_t r = 0; r < array->rows; ++r) {
            if (r) text += ";";
            for (std::size_t c = 0; c < array->cols; ++c)
                text += (c ? "," : "") + element_text(array, c * array->rows + r);
        }
        text += "]";
    }
    if (array->cls != ArrayClass::Double) text = std::string(class_name(array->cls)) + "(" + text + ")";
    if (array->sparse) text = "sparse(" + text + ")";
    return text;
}

mxArray_tag *parse_array(const std::string &text, std::string &error) {
    return Parser(text).parse(error);
}

}  // namespace mexhost
