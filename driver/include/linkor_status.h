/**
 * @file linkor_status.h
 * Status codes returned by the line driver. They fit in 16 bits; 0 is success.
 * Groups: 0x00xx command syntax, 0x10xx port set-up, 0x20xx sending and
 * acknowledgement, 0x30xx reception, 0x80xx use of the driver.
 */
#ifndef LINKOR_STATUS_H
#define LINKOR_STATUS_H

enum LinkorStatus {
    LINKOR_OK = 0,

    LINKOR_COMMAND_REJECTED = 0x0050,    /* the command could not be prepared */
    LINKOR_REPLY_MESSAGE = 0x0051,       /* faulty reply message */
    LINKOR_REPLY_UNCONVERTIBLE = 0x0052, /* a frame reply could not be converted */

    LINKOR_PORT_OPEN = 0x1001,     /* the device could not be opened */
    LINKOR_PORT_QUEUES = 0x1002,   /* the queue sizes could not be set */
    LINKOR_PORT_BUILD = 0x1004,    /* the settings text was not accepted */
    LINKOR_PORT_SETTINGS = 0x1008, /* the settings could not be applied */
    LINKOR_PORT_TIMEOUTS = 0x1010, /* the time-outs could not be applied */
    LINKOR_PORT_EVENT = 0x1020,    /* the wait event could not be created */

    LINKOR_SEND_FAILED = 0x2001,  /* a write failed */
    LINKOR_SEND_SHORT = 0x2002,   /* a write ended short */
    LINKOR_ANSWER_BEL = 0x2004,   /* the module answered BEL */
    LINKOR_ACK_MISSING = 0x2008,  /* acknowledgement missing or unexpected */
    LINKOR_ANSWER_NAK = 0x2009,   /* the module answered NAK */
    LINKOR_REPLY_NUL = 0x2010,    /* NUL inside the reply */
    LINKOR_XOFF_MISSING = 0x2020, /* XOFF missing */
    LINKOR_XON_MISSING = 0x2021,  /* end of reply missing */
    LINKOR_NOT_EXECUTED = 0x2022, /* the command was not executed */

    LINKOR_RECEIVE_FAILED = 0x3001,  /* a read failed or the reply is malformed */
    LINKOR_RECEIVE_TIMEOUT = 0x3002, /* a read timed out */
    LINKOR_REPLY_LENGTH = 0x3004,    /* the reply's length is wrong */
    LINKOR_REPLY_CHECKSUM = 0x3008,  /* the reply's checksum is wrong */

    LINKOR_NO_OBJECT = 0x8000,           /* a sub-driver handle has no protocol object */
    LINKOR_BAD_LINE = 0x8001,            /* line or handle out of range */
    LINKOR_BAD_PROTOCOL = 0x8002,        /* protocol not handled */
    LINKOR_ALREADY_OPEN = 0x8003,        /* the line is already opened */
    LINKOR_BAD_BAUD = 0x8004,            /* baud rate not allowed */
    LINKOR_TOO_MANY_LINES = 0x8005,      /* maximum number of lines reached */
    LINKOR_BAD_LANGUAGE = 0x8006,        /* unknown language */
    LINKOR_NOT_OPENED = 0x8007,          /* the line is not opened */
    LINKOR_NO_CLOCK = 0x8008,            /* no high-resolution clock */
    LINKOR_ALREADY_INITIALISED = 0x8009, /* the line is already initialised */
    LINKOR_CANNOT_INITIALISE = 0x800A,   /* the communication cannot be initialised */
    LINKOR_NOT_INITIALISED = 0x800B,     /* the line is not initialised */
    LINKOR_BAD_PRIORITY = 0x8010,        /* unknown priority name */
    LINKOR_BAD_MODULE_TYPE = 0x8020,     /* module type not handled */
    LINKOR_NOT_AVAILABLE = 0x8021,       /* function not available */
    LINKOR_NO_DRIVER = 0x8022,           /* driver not available */
    LINKOR_BAD_SETTINGS_BLOCK = 0x8023,  /* faulty settings block /.../ */
    LINKOR_SCRIPT_FAILED = 0x8024,       /* faulty line in the start-up script */
    LINKOR_UNKNOWN_CODE = 0x8100         /* never returned: the text for unknown codes */
};

#endif
