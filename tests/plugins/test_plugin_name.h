/* The name export of the test plugins: TEST_NAME, or TEST_NAME_LENGTH 'n's, or a name that
   never fits (TEST_NAME_NEVER_FITS), or one that fills the buffer without a zero byte
   (TEST_NAME_UNTERMINATED). */
#include <string.h>

#include <vantorix/transition_plugin.h>

int kxPlg_GetPluginName(char* buffer, int* size) {
#if defined(TEST_NAME_NEVER_FITS)
    *size = 2147483647;
    (void)buffer;
    return -1;
#elif defined(TEST_NAME_UNTERMINATED)
    memset(buffer, 'u', (size_t)*size);
    return 0;
#elif defined(TEST_NAME_LENGTH)
    if (*size < TEST_NAME_LENGTH + 1) {
        *size = TEST_NAME_LENGTH + 1;
        return -1;
    }
    memset(buffer, 'n', TEST_NAME_LENGTH);
    buffer[TEST_NAME_LENGTH] = '\0';
    return 0;
#else
    const char* name = TEST_NAME;
    if (*size < (int)strlen(name) + 1) {
        *size = (int)strlen(name) + 1;
        return -1;
    }
    strcpy(buffer, name);
    return 0;
#endif
}
