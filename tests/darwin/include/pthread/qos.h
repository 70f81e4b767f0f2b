// Stand-in of macOS's <pthread/qos.h> and the QoS classes of <sys/qos.h>,
// with the SDK's values and declarations. tests/darwin/mach_standin.cpp
// defines the calls.
#ifndef MEXTIME_STANDIN_PTHREAD_QOS_H
#define MEXTIME_STANDIN_PTHREAD_QOS_H

#include <pthread.h>

typedef enum : unsigned int {
    QOS_CLASS_USER_INTERACTIVE = 0x21,
    QOS_CLASS_USER_INITIATED = 0x19,
    QOS_CLASS_DEFAULT = 0x15,
    QOS_CLASS_UTILITY = 0x11,
    QOS_CLASS_BACKGROUND = 0x09,
    QOS_CLASS_UNSPECIFIED = 0x00
} qos_class_t;

#define QOS_MIN_RELATIVE_PRIORITY (-15)

extern "C" {
int pthread_set_qos_class_self_np(qos_class_t __qos_class, int __relative_priority);
int pthread_get_qos_class_np(pthread_t __pthread, qos_class_t *__qos_class, int *__relative_priority);
}

#endif
