# find_package(PxImage): the imported target PxImage::pximage, the shared image
# library with its headers (include them as "imaging/px_image.h"; C++20).
include("${CMAKE_CURRENT_LIST_DIR}/PxImageTargets.cmake")
