// What libmex throws when a MEX file raises an error, and the loader catches.
// Plain buffers: the object crosses module boundaries (libmex to the loader),
// so it carries no heap memory of either.
#ifndef MEXHOST_RAISED_ERROR_H
#define MEXHOST_RAISED_ERROR_H

namespace mexhost {

struct RaisedError {
    char identifier[256];
    char message[1024];
};

}  // namespace mexhost

#endif
