# The capture pieces that need POSIX: ffmpeg fed through a pipe, and output
# files put in place by rename and guarded by flock. A build for a platform
# without them (the browser, Windows) removes these from its sources, so a new
# piece of the kind is named here once.
set(VELMORRA_POSIX_CAPTURE_SOURCES
  shell/video_writer.cpp
  shell/pipe_feeder.cpp
  shell/encoder_arguments.cpp
  shell/encoder_progress.cpp
  platform/output_files_posix.cpp)
# Spelled under ${source}, the including project's path to src/, as its own
# list of sources is.
list(TRANSFORM VELMORRA_POSIX_CAPTURE_SOURCES PREPEND ${source}/)
