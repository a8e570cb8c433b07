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

    /// An open savegame for reading. Close it when done; it needs no disposing.
    public sealed class SavegameReader
    {
        private readonly Client owner;
        private readonly IntPtr handle;

        internal SavegameReader(Client owner, IntPtr handle, uint openResult)
        {
            this.owner = owner;
            this.handle = handle;
            OpenResult = openResult;
        }

        /// The service library's result of opening: 0 = done. Otherwise reads give nothing.
        public uint OpenResult { get; private set; }

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
            CheckOpen(owner, OpenResult);
            TransferRequest read = new TransferRequest(count);
            read.Destination = destination;
            read.Index = index;
            return owner.Send(read, (id, context) => NativeMethods.veltoclient_reader_read(
                                        handle, id, Answers.Read, context, offset, read.Native,
                                        (uint)count));
        }

        /// A transfer needs a live client and an opened savegame: the service library never
        /// answers one without.
        internal static void CheckOpen(Client owner, uint openResult)
        {
            if (owner.IsDisposed)
            {
                throw new ObjectDisposedException("Client");
            }
            if (openResult != 0)
            {
                throw new InvalidOperationException("the savegame was not opened (result " +
                                                    openResult + ")");
            }
        }

        /// Closes the savegame in the service library; also after the client was disposed.
        public void Close()
        {
            NativeMethods.veltoclient_reader_close(handle);
        }
    }

    /// An open savegame for writing. Close it when done; it needs no disposing.
    public sealed class SavegameWriter
    {
        private readonly Client owner;
        private readonly IntPtr handle;

        internal SavegameWriter(Client owner, IntPtr handle, uint openResult)
        {
            this.owner = owner;
            this.handle = handle;
            OpenResult = openResult;
        }

        /// The service library's result of opening: 0 = done. Otherwise writes give nothing.
        public uint OpenResult { get; private set; }

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
                return NativeMethods.veltoclient_writer_set_name(handle, copy) != 0;
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
            SavegameReader.CheckOpen(owner, OpenResult);
            TransferRequest write = new TransferRequest(data.Length);
            data.CopyTo(new Span<byte>((void*)write.Native, data.Length));
            return owner.Send(write, (id, context) => NativeMethods.veltoclient_writer_write(
                                         handle, id, Answers.Write, context, write.Native,
                                         (uint)write.Count));
        }

        /// With `commit` the bytes written and the name become the savegame (with the
        /// development service durably, when this returns); without, they are discarded.
        public void Close(bool commit)
        {
            NativeMethods.veltoclient_writer_close(handle, commit ? 1 : 0);
        }
    }
}
