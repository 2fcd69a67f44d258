/* Ids of the program's resources, shared by the code and res/klikvane.rc
   (which the resource compiler reads: plain defines only). */
#pragma once

#define KV_ABOUT_PICTURE_ID 2
