// The game's connection to the platform, over the C interface (veltoclient_c).
using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading.Tasks;

namespace Qz.Veltoclient
{
    /// The game's connection to the platform.
    ///
    /// The first client binds the platform's service library, once per process; when that
    /// fails nothing fails loudly: InstallationErrorNum and GetInstallationErrorString tell
    /// the player why, and every request fails with PlatformUnavailableException.
    ///
    /// Requests return tasks that complete from inside Update (or from inside the request,
    /// when the service library answers at once), on the thread that calls it: continuations
    /// that run synchronously run there too. Use a client, its readers and writers from one
    /// thread at a time, and call Dispose on that thread: a disposed client's pending tasks are
    /// cancelled. There is no finalizer, since the native client must not be destroyed from the
    /// collector's thread.
    public sealed class Client : IDisposable
    {
        private IntPtr handle;
        private readonly uint installationErrorNum;

        internal readonly HashSet<PendingRequest> Pending = new HashSet<PendingRequest>();

        /// <exception cref="OutOfMemoryException">The native client could not be made.</exception>
        public Client()
        {
            handle = NativeMethods.veltoclient_create();
            if (handle == IntPtr.Zero)
            {
                throw new OutOfMemoryException("veltoclient_create ran out of memory");
            }
            installationErrorNum = NativeMethods.veltoclient_get_installation_error_num(handle);
        }

        /// The version of the native library, as (major << 16) | (minor << 8) | patch.
        public static uint LibraryVersion
        {
            get { return NativeMethods.veltoclient_c_version(); }
        }

        /// 0 = platform bound; 1 = not installed; 2 = service library not loadable; 3 =
        /// service library incomplete. Fixed for the life of the process.
        public uint InstallationErrorNum
        {
            get { return installationErrorNum; }
        }

        internal bool IsDisposed
        {
            get { return handle == IntPtr.Zero; }
        }

        /// The text for the player about the installation error, in `locale` (such as
        /// "de-DE"); null or an unknown locale gives the first line alone. Empty for error 0.
        public string GetInstallationErrorString(string locale)
        {
            return Text(NativeMethods.veltoclient_get_installation_error_string(Handle,
                                                                                Utf8(locale)));
        }

        /// Lets the service library work and deliver answers: tasks complete inside this call.
        public void Update()
        {
            NativeMethods.veltoclient_update(Handle);
        }

        /// A fresh request id, or 0xFFFFFFFF when the platform cannot be asked. The requests
        /// below take their ids from here.
        public uint GetRequestUniqueId()
        {
            return NativeMethods.veltoclient_get_request_unique_id(Handle);
        }

        /// Starts the platform's launcher; false when the platform cannot be asked (the
        /// development service always answers false).
        public bool StartLauncher(uint value1, uint value2, string text1, string text2)
        {
            return NativeMethods.veltoclient_start_launcher(Handle, value1, value2, Utf8(text1),
                                                            Utf8(text2)) != 0;
        }

        /// The service library's localized text for `text` in `locale`, or `text` itself when
        /// the platform cannot be asked.
        public string GetLocText(string text, string locale)
        {
            if (text == null)
            {
                throw new ArgumentNullException("text");
            }
            // The result may be this very copy, so it is read before the copy is freed.
            IntPtr copy = Marshal.StringToHGlobalUni(text);
            try
            {
                return Text(NativeMethods.veltoclient_get_loc_text(Handle, copy, Utf8(locale)));
            }
            finally
            {
                Marshal.FreeHGlobal(copy);
            }
        }

        /// The development service answers 0, the account id 1 and 0.
        public Task<LoginDetails> GetLoginDetailsAsync()
        {
            return Send(new PendingRequest<LoginDetails>(),
                        (id, context) => NativeMethods.veltoclient_get_login_details(
                            handle, id, Answers.LoginDetails, context));
        }

        public Task<uint> GetVeltoServerAsync(uint value1, uint value2)
        {
            return Send(new PendingRequest<uint>(),
                        (id, context) => NativeMethods.veltoclient_get_velto_server(
                            handle, id, Answers.VeltoServer, context, value1, value2));
        }

        /// Opens a savegame for reading; the reader's OpenResult says whether it worked (0 =
        /// done; the development service answers 1 for a savegame that does not exist).
        public Task<SavegameReader> OpenSavegameReaderAsync(uint productId, uint savegameId)
        {
            return Send(new PendingRequest<SavegameReader>(),
                        (id, context) => NativeMethods.veltoclient_get_savegame_reader(
                            handle, id, Answers.SavegameReader, context, productId, savegameId));
        }

        /// Opens a savegame for writing; with `overwrite` false the development service refuses
        /// one that exists (OpenResult 5), and answers 4 while another writer has it open.
        public Task<SavegameWriter> OpenSavegameWriterAsync(uint productId, uint savegameId,
                                                            bool overwrite)
        {
            return Send(new PendingRequest<SavegameWriter>(),
                        (id, context) => NativeMethods.veltoclient_get_savegame_writer(
                            handle, id, Answers.SavegameWriter, context, productId, savegameId,
                            overwrite ? 1 : 0));
        }

        /// The savegames of a product, copied when the answer arrives.
        public Task<SavegameInfo[]> GetSavegameListAsync(uint productId)
        {
            return Send(new PendingRequest<SavegameInfo[]>(),
                        (id, context) => NativeMethods.veltoclient_get_savegame_list(
                            handle, id, Answers.SavegameList, context, productId));
        }

        /// The service library's result: 0 = removed; the development service answers 1 for a
        /// savegame that does not exist.
        public Task<uint> RemoveSavegameAsync(uint productId, uint savegameId)
        {
            return Send(new PendingRequest<uint>(),
                        (id, context) => NativeMethods.veltoclient_remove_savegame(
                            handle, id, Answers.RemoveSavegame, context, productId, savegameId));
        }

        public Task<NetworkTraffic> GetNetworkTrafficAsync()
        {
            return Send(new PendingRequest<NetworkTraffic>(),
                        (id, context) => NativeMethods.veltoclient_get_network_traffic(
                            handle, id, Answers.NetworkTraffic, context));
        }

        /// Destroys the native client: pending requests are dropped and their tasks cancelled;
        /// readers and writers can still be closed. A second call does nothing.
        public void Dispose()
        {
            if (handle == IntPtr.Zero)
            {
                return;
            }
            NativeMethods.veltoclient_destroy(handle);
            handle = IntPtr.Zero;
            foreach (PendingRequest request in new List<PendingRequest>(Pending))
            {
                request.Release();
                request.Abandon(new OperationCanceledException(), true);
            }
        }

        /// Hands a request to the native library under a fresh id; `send` gives the native
        /// call's result. The answer may come from inside `send`.
        internal Task<T> Send<T>(PendingRequest<T> request, Func<uint, IntPtr, int> send)
        {
            if (handle == IntPtr.Zero)
            {
                throw new ObjectDisposedException("Client");
            }
            if (installationErrorNum != 0)
            {
                request.Abandon(new PlatformUnavailableException(installationErrorNum), false);
                return request.Source.Task;
            }
            IntPtr context = request.Register(this);
            if (send(GetRequestUniqueId(), context) == 0)
            {
                request.Release();
                request.Abandon(new OutOfMemoryException("the request could not be made"),
                                false);
            }
            return request.Source.Task;
        }

        private IntPtr Handle
        {
            get
            {
                if (handle == IntPtr.Zero)
                {
                    throw new ObjectDisposedException("Client");
                }
                return handle;
            }
        }

        /// 0-terminated UTF-8, as the native library reads narrow text; null stays null.
        internal static byte[] Utf8(string text)
        {
            return text == null ? null : Encoding.UTF8.GetBytes(text + "\0");
        }

        /// A copy of 0-terminated UTF-16 text; null stays null.
        internal static string Text(IntPtr text)
        {
            return text == IntPtr.Zero ? null : Marshal.PtrToStringUni(text);
        }
    }
}
