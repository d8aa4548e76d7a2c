/* The numbers the module's resources and the prompt's controls go by: one
   definition for the resource scripts (windres preprocesses this file) and
   for the C++ code (prompt/dialog_ids.h, comframe/class_table.cpp). Plain C
   preprocessor only. */
#ifndef VRPPH_RESOURCE_IDS_H
#define VRPPH_RESOURCE_IDS_H

/* Resources. */
#define VRPPH_TYPE_LIBRARY 1
#define VRPPH_PROMPT_MANIFEST 2
#define VRPPH_PLUG_PROT_SCRIPT 101
#define VRPPH_API_SCRIPT 118
#define VRPPH_PROMPT_DIALOG 201
#define VRPPH_PROMPT_PICTURE 202

/* The prompt's controls. */
#define VRPPH_PROMPT_OK 1
#define VRPPH_PROMPT_CANCEL 2
#define VRPPH_PROMPT_ADVANCED 203
#define VRPPH_PROMPT_ABOUT 1007
#define VRPPH_PROMPT_RUN_CHOICE 1002
#define VRPPH_PROMPT_SAVE_CHOICE 1003
#define VRPPH_PROMPT_SPEED 1001
#define VRPPH_PROMPT_ALWAYS_ASK 212
#define VRPPH_PROMPT_HEADING 210
#define VRPPH_PROMPT_FILE_LINE 202
#define VRPPH_PROMPT_QUESTION 211
#define VRPPH_PROMPT_SPEED_CAPTION 1021
#define VRPPH_PROMPT_SPEED_LABEL 201
#define VRPPH_PROMPT_SEPARATOR 1019
#define VRPPH_PROMPT_PICTURE_CONTROL 0

#endif
