# cmake -DMEDIUM_DIR=... -DCD_IMAGE=... -DVOLUME_LABEL=... -DEPOCH=... -DXORRISO=...
#       -P WriteImage.cmake
# Writes the CD image of the laid-out medium with nothing of the moment or the
# machine in it: every file and folder dated EPOCH, the volume's own dates
# too, and the files' data in the order of their sorted paths (each file its
# own sort weight, so no tie is left to the order the disk lists them in).
# Then SHA256SUMS beside the image: the programs, the control and the image,
# for `sha256sum -c SHA256SUMS` in that folder.
foreach(name MEDIUM_DIR CD_IMAGE VOLUME_LABEL EPOCH XORRISO)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "WriteImage.cmake needs -D${name}=...")
    endif()
endforeach()

set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP volume_uuid "%Y%m%d%H%M%S00" UTC)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${MEDIUM_DIR} ${MEDIUM_DIR}/*)
list(SORT files)
list(LENGTH files weight)
set(weights)
foreach(file IN LISTS files)
    list(APPEND weights -find /${file} -exec sort_weight ${weight} --)
    math(EXPR weight "${weight} - 1")
endforeach()

file(REMOVE ${CD_IMAGE})
execute_process(
    COMMAND ${XORRISO} -report_about SORRY -local_charset UTF-8 -outdev ${CD_IMAGE}
            -volid ${VOLUME_LABEL} -joliet on -rockridge off
            -compliance joliet_long_names
            -volume_date uuid ${volume_uuid} -volume_date all_file_dates =${EPOCH}
            -iso_nowtime =${EPOCH}
            -map ${MEDIUM_DIR} / ${weights}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${CD_IMAGE})
    message(FATAL_ERROR "xorriso could not write ${CD_IMAGE}")
endif()

get_filename_component(top ${CD_IMAGE} DIRECTORY)
set(sums "")
foreach(path ${MEDIUM_DIR}/Setup.exe ${MEDIUM_DIR}/Uninstall.exe
        ${MEDIUM_DIR}/Controls/MosaikaView.ocx ${CD_IMAGE})
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "The medium lacks ${path}")
    endif()
    file(SHA256 ${path} sum)
    file(RELATIVE_PATH name ${top} ${path})
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${top}/SHA256SUMS "${sums}")
