using System;
using System.Runtime.InteropServices;
using System.Threading.Tasks;

namespace Qz.Veltoclient
{
    /// The description of one savegame, copied from the list answer.
    public sealed class SavegameInfo
    {
        /// The name (empty when none was set with the development service), or null when the
        /// service library gave none.
        public string Name { get; private set; }
        public uint ProductId { get; private set; }
        public uint SavegameId { get; private set; }
        /// The committed size in bytes.
        public uint Size { get; private set; }

        internal static SavegameInfo[] ReadAll(IntPtr savegames, uint count)
        {
            SavegameInfo[] all = new SavegameInfo[count];
            for (uint i = 0; i < count; ++i)
            {
                IntPtr info = NativeMethods.veltoclient_savegame_info_at(savegames, i);
                all[i] = new SavegameInfo
                {
                    Name = Client.Text(NativeMethods.veltoclient_savegame_info_get_name(info)),
                    ProductId = NativeMethods.veltoclient_savegame_info_get_product_id(info),
                    SavegameId = NativeMethods.veltoclient_savegame_info_get_savegame_id(info),
                    Size = NativeMethods.veltoclient_savegame_info_get_size(info),
                };
            }
            return all;
        }
    }

    /// What readers and writers share: the native handle (valid until the process ends, so
    /// it needs no disposing), the client it came from and the result of opening.
    public abstract class SavegameHandle
    {
        internal readonly Client Owner;
        internal readonly IntPtr Handle;

        internal SavegameHandle(Client owner, IntPtr handle, uint openResult)
        {
            Owner = owner;
            Handle = handle;
            OpenResult = openResult;
        }

        /// The service library's result of opening: 0 = done. Otherwise reads and writes are
        /// refused, since the service library would never answer them.
        public uint OpenResult { get; private set; }

        /// A transfer needs a live client and an opened savegame.
        internal void CheckOpen()
        {
            if (Owner.IsDisposed)
            {
                throw new ObjectDisposedException("Client");
            }
            if (OpenResult != 0)
            {
                throw new InvalidOperationException("the savegame was not opened (result " +
                                                    OpenResult + ")");
            }
        }
    }

    /// An open savegame for reading. Close it when done.
    public sealed class SavegameReader : SavegameHandle
    {
        internal SavegameReader(Client owner, IntPtr handle, uint openResult)
            : base(owner, handle, openResult)
        {
        }

        /// Reads up to `count` bytes from `offset` into `destination` at `index`; the task
        /// gives how many arrived (0 at or past the end).
        public Task<int> ReadAsync(uint offset, byte[] destination, int index, int count)
        {
            if (destination == null)
            {
                throw new ArgumentNullException("destination");
            }
            if (index < 0 || count < 0 || count > destination.Length - index)
            {
                throw new ArgumentOutOfRangeException("count");
            }
            CheckOpen();
            TransferRequest read = new TransferRequest(count);
            read.Destination = destination;
            read.Index = index;
            return Owner.Send(read, (id, context) => NativeMethods.veltoclient_reader_read(
                                        Handle, id, Answers.Read, context, offset, read.Native,
                                        (uint)count));
        }

        /// Closes the savegame in the service library; also after the client was disposed.
        public void Close()
        {
            NativeMethods.veltoclient_reader_close(Handle);
        }
    }

    /// An open savegame for writing. Close it when done.
    public sealed class SavegameWriter : SavegameHandle
    {
        internal SavegameWriter(Client owner, IntPtr handle, uint openResult)
            : base(owner, handle, openResult)
        {
        }

        /// Names the savegame; false when the service library refuses (the development
        /// service takes 1 to 255 UTF-16 units of well-formed UTF-16).
        public bool SetName(string name)
        {
            if (name == null)
            {
                throw new ArgumentNullException("name");
            }
            IntPtr copy = Marshal.StringToHGlobalUni(name);
            try
            {
                return NativeMethods.veltoclient_writer_set_name(Handle, copy) != 0;
            }
            finally
            {
                Marshal.FreeHGlobal(copy);
            }
        }

        /// Appends `data`, copied at once: the caller may reuse it when this returns. The task
        /// gives how many bytes the service library took (0 on a storage failure).
        public unsafe Task<int> WriteAsync(ReadOnlySpan<byte> data)
        {
            CheckOpen();
            TransferRequest write = new TransferRequest(data.Length);
            data.CopyTo(new Span<byte>((void*)write.Native, data.Length));
            return Owner.Send(write, (id, context) => NativeMethods.veltoclient_writer_write(
                                         Handle, id, Answers.Write, context, write.Native,
                                         (uint)write.Count));
        }

        /// With `commit` the bytes written and the name become the savegame (with the
        /// development service durably, when this returns); without, they are discarded.
        public void Close(bool commit)
        {
            NativeMethods.veltoclient_writer_close(Handle, commit ? 1 : 0);
        }
    }
}
