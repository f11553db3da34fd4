// The texts of the MCI error codes, as Windows words them.
#include "mci/entry_points.h"

#include <algorithm>
#include <cstring>

namespace vek::mci {

namespace {

struct ErrorText {
    MCIERROR code;
    const char *text;
};

const ErrorText kTexts[] = {
    {0, "The specified command was carried out."},
    {MCIERR_INVALID_DEVICE_ID, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
    {MCIERR_UNRECOGNIZED_KEYWORD, "The driver cannot recognize the specified command parameter."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
    {MCIERR_HARDWARE, "There is a problem with your media device. Make sure it is working correctly or contact the "
                      "device manufacturer."},
    {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
    {MCIERR_OUT_OF_MEMORY, "Not enough memory available for this task. Quit one or more applications to increase "
                           "available memory, and then try again."},
    {MCIERR_DEVICE_OPEN, "The device name is already being used as an alias by this application. Use a unique alias."},
    {MCIERR_CANNOT_LOAD_DRIVER, "There is an undetectable problem in loading the specified device driver."},
    {MCIERR_MISSING_COMMAND_STRING, "No command was specified."},
    {MCIERR_PARAM_OVERFLOW,
     "The output string was too large to fit in the return buffer. Increase the size of the buffer."},
    {MCIERR_MISSING_STRING_ARGUMENT,
     "The specified command requires a character-string parameter. Please provide one."},
    {MCIERR_BAD_INTEGER, "The specified integer is invalid for this command."},
    {MCIERR_MISSING_PARAMETER, "The specified command requires a parameter. Please supply one."},
    {MCIERR_UNSUPPORTED_FUNCTION, "The MCI device you are using does not support the specified command."},
    {MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and filename are correct."},
    {MCIERR_DEVICE_NOT_READY, "The device driver is not ready."},
    {MCIERR_INTERNAL, "A problem occurred in initializing MCI. Try restarting Windows."},
    {MCIERR_EXTENSION_NOT_FOUND, "Cannot determine the device type from the given filename extension."},
    {MCIERR_OUTOFRANGE, "The specified parameter is out of range for the specified command."},
    {MCIERR_DUPLICATE_ALIAS, "The specified alias is already being used in this application. Use a unique alias."},
    {MCIERR_MISSING_DEVICE_NAME,
     "The specified command requires an alias, file, driver, or device name. Please supply one."},
    {MCIERR_NO_CLOSING_QUOTE, "A closing quotation mark is missing."},
    {MCIERR_INVALID_FILE, "The specified file cannot be played on the specified MCI device. The file may be corrupt, "
                          "or not in the correct format."},
    {MCIERR_EXTRA_CHARACTERS, "Cannot specify extra characters after a string enclosed in quotation marks."},
};

}  // namespace

BOOL WINAPI getErrorString(MCIERROR error, LPSTR text, UINT length)
{
    if (!text || !length) return FALSE;
    text[0] = '\0';
    for (const ErrorText &entry : kTexts) {
        if (entry.code != error) continue;
        const size_t n = std::min<size_t>(std::strlen(entry.text), length - 1);
        std::memcpy(text, entry.text, n);
        text[n] = '\0';
        return TRUE;
    }
    return FALSE;
}

}  // namespace vek::mci
