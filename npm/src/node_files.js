// The calls where Emscripten's NODERAWFS (3.1.6) does less than the system
// does, made to do what they do natively:
// - fsync syncs nothing there, as for its in-memory files; here
//   they reach the disk, the new save before it is renamed onto the old one.
// - access() checks the permission bits it was told about, or nothing; here
//   the system answers, as it does for the native tool (for root too).
// - open() cuts every part of a path to 255 characters, which names another
//   file; here the name goes to the system whole, which refuses it as too
//   long, as natively.

mergeInto(LibraryManager.library, {
  $kv5NodeFiles__deps: ['$FS', '$ERRNO_CODES', '$NODERAWFS'],
  $kv5NodeFiles__postset: `
    (function() {
      var nodeFs = require('fs');
      var cutting = FS.open;
      FS.open = function(path, flags, mode, fd) {
        if (typeof path == 'string' && path.split('/').some(function(part) {
              return Buffer.byteLength(part) > 255; })) {
          throw new FS.ErrnoError(ERRNO_CODES.ENAMETOOLONG);
        }
        return cutting.apply(this, arguments);
      };
      kv5NodeFiles.fs = nodeFs;
    })();`,
  $kv5NodeFiles: {},

  fd_sync__deps: ['$kv5NodeFiles'],
  fd_sync: function(fd) {
    var stream = FS.getStream(fd);
    if (!stream) return {{{ cDefine('EBADF') }}};
    if (stream.stream_ops || stream.nfd === undefined) return 0;
    try {
      kv5NodeFiles.fs.fsyncSync(stream.nfd);
      return 0;
    } catch (e) {
      return e.code in ERRNO_CODES ? ERRNO_CODES[e.code] : {{{ cDefine('EIO') }}};
    }
  },

  __syscall_faccessat__deps: ['$kv5NodeFiles', '$SYSCALLS'],
  __syscall_faccessat: function(dirfd, path, amode, flags) {
    path = SYSCALLS.calculateAt(dirfd, SYSCALLS.getStr(path));
    try {
      kv5NodeFiles.fs.accessSync(path, amode);
      return 0;
    } catch (e) {
      return -(e.code in ERRNO_CODES ? ERRNO_CODES[e.code] : {{{ cDefine('EACCES') }}});
    }
  },
});
